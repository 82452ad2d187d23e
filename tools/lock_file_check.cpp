#include "tools/lock_file_check.h"

#include <cerrno>
#include <cstring>

#include "tools/support/local_system.h"
#include "vexafol/file.h"

namespace vexa::tool {
namespace {

// The system's text, led by what the file is when the error stands for a file
// that the library refuses to open as a lock file.
std::string Reason(int error) {
  const std::string text = std::strerror(error);
  if (error == ELOOP) return "it is a symbolic link, which is never followed (" + text + ")";
  if (error == ENXIO) return "it is not a regular file (" + text + ")";
  if (error == EMLINK)
    return "it has more than one name (a hard link), so writing it could change another file";
  return text;
}

}  // namespace

std::string LockFileProblem(const std::string& path, Missing missing) {
  File file;
  if (missing == Missing::Skip && !file.Open(path, File::Mode::ReadOnly) &&
      file.LastError() == ENOENT)
    return "";
  uint64_t device = 0, inode = 0;
  const bool existed = FileIdentity(path, device, inode);
  if (file.Open(path, File::Mode::ReadWrite)) {
    // A file that was there stays: a client that knows nothing of the in-use
    // mark may have it open. One made for the test goes again, unless somebody
    // opened or locked it meanwhile.
    if (existed)
      file.Close();
    else
      file.CloseAndRemove();
    return "";
  }
  return path + ": cannot open the lock file: " + Reason(file.LastError());
}

}  // namespace vexa::tool
