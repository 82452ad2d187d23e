#include "tools/lock_file_check.h"

#include <cerrno>
#include <cstring>

#include "vexafol/file.h"

namespace vexa::tool {
namespace {

// The system's text, led by what the file is when the error stands for a file
// that the library refuses to open as a lock file.
std::string Reason(int error) {
  const std::string text = std::strerror(error);
  if (error == ELOOP) return "it is a symbolic link, which is never followed (" + text + ")";
  if (error == ENXIO) return "it is not a regular file (" + text + ")";
  return text;
}

}  // namespace

std::string LockFileProblem(const std::string& path, Missing missing) {
  File file;
  if (missing == Missing::Skip && !file.Open(path, File::Mode::ReadOnly) &&
      file.LastError() == ENOENT)
    return "";
  if (file.Open(path, File::Mode::ReadWrite)) {
    file.CloseAndRemove();  // removed only when nobody else has it open
    return "";
  }
  return path + ": cannot open the lock file: " + Reason(file.LastError());
}

}  // namespace vexa::tool
