#include "tools/lock_file_check.h"

#include <cerrno>
#include <cstring>

#include "vexafol/file.h"

namespace vexa::tool {

std::string LockFileProblem(const std::string& path, Missing missing) {
  File file;
  if (missing == Missing::Skip && !file.Open(path, File::Mode::ReadOnly) &&
      file.LastError() == ENOENT)
    return "";
  if (file.Open(path, File::Mode::ReadWrite)) {
    file.CloseAndRemove();  // removed only when nobody else has it open
    return "";
  }
  return path + ": cannot open the lock file: " + std::strerror(file.LastError());
}

}  // namespace vexa::tool
