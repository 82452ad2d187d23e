#include "lock/lock_file.h"

#include <cstdio>

namespace vexa::lock {

bool KeepOpen(File& file) {
  if (!file.IsOpen()) return false;
  FileStatus status;
  if (file.GetStatus(status)) return true;
  file.Close();
  return false;
}

bool OpenLockFile(File& file, const std::string& path, uint64_t length) {
  if (file.Open(path, File::Mode::ReadWrite) && file.SetLength(length)) return true;
  file.CloseAndRemove();
  return false;
}

// Lock offsets are the numbers as signed 32-bit values widened to 64 bits; a
// negative one is refused like any other offset the file class cannot lock.
bool LockByte(File& file, int n) {
  return n >= 0 && file.LockRange(static_cast<uint64_t>(n), 1);
}

bool UnlockByte(File& file, int n) {
  return n >= 0 && file.UnlockRange(static_cast<uint64_t>(n), 1);
}

bool ProbeByte(File& file, int n) {
  if (!LockByte(file, n)) return true;
  UnlockByte(file, n);
  return false;
}

std::string DrawingLockPath(const CEnvironObj& env, const std::string& drawingPath) {
  std::string path = env.GetDirNameFromRelativePath(drawingPath);
  env.AddFileName(path, "CADAPP.LOC");
  return path;
}

std::string PageLockPath(const CEnvironObj& env, const std::string& drawingPath, int folderNo) {
  char name[32];
  std::snprintf(name, sizeof name, "FOL%03d.LOC", folderNo);
  std::string path = env.GetDirNameFromRelativePath(drawingPath);
  env.AddFileName(path, name);
  return path;
}

}  // namespace vexa::lock
