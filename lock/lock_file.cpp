#include "lock/lock_file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/env.h"

namespace vexa::lock {

std::string PageLockName(int folderNo) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", folderNo);
  return kPageLockFilePrefix + std::string(digits) + kLockFileSuffix;
}

bool KeepOpen(File& file, uint64_t length) {
  if (!file.IsOpen()) return false;
  // One status record per thread: its path text keeps its buffer between calls.
  thread_local FileStatus status;
  if (file.GetStatus(status)) return true;
  // Only a file that has no name left answers ENOENT: somebody deleted it under
  // us, and whoever opens the path now gets a new file that our locks do not
  // reach. Holding the same bytes there again is what keeps them ours.
  size_t lost = 0;
  if (file.LastError() == ENOENT && file.Reopen(lost) && file.SetLength(length)) return true;
  file.Close();
  return false;
}

bool OpenLockFile(File& file, const std::string& path, uint64_t length) {
  if (file.Open(path, File::Mode::ReadWrite) && file.SetLength(length)) return true;
  CloseAndRemoveLockFile(file);
  return false;
}

bool WasDeleted(const File& file) {
  thread_local FileStatus status;
  return file.IsOpen() && !file.GetStatus(status) && file.LastError() == ENOENT;
}

void CloseAndRemoveLockFile(File& file) {
  if (!file.IsOpen()) return;
  if (LockFilesStay(file.GetFilePath()))
    file.Close();
  else
    file.CloseAndRemove();
}

bool LockFilesStay(const std::string& lockFilePath) {
  const size_t slash = lockFilePath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : lockFilePath.substr(0, slash);
  static std::mutex mutex;
  static std::map<std::string, bool> known;  // by folder of the lock file
  std::lock_guard<std::mutex> guard(mutex);
  if (const auto found = known.find(folder); found != known.end()) return found->second;
  platform::Env& os = platform::CurrentEnv();
  bool stay = false;
  for (std::string dir = folder;;) {
    struct stat st;
    if (os.Lstat(dir + "/" + kKeepLockFilesMarker, st) == 0) {
      stay = true;
      break;
    }
    const size_t up = dir.rfind('/');
    if (up == std::string::npos || dir.empty()) break;
    dir.resize(up);  // "/a/b" -> "/a" -> "", which asks for "/KEEPLOCKS"
  }
  known.emplace(folder, stay);
  return stay;
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

bool ForeignLockedBytes(File& file, DrawingNumberBits& locked) {
  if (!file.IsOpen()) return false;
  platform::Env& os = platform::CurrentEnv();
  constexpr off_t kEnd = static_cast<off_t>(kDrawingLockFileLength);
  std::vector<std::pair<off_t, off_t>> ranges{{1, kEnd}};  // [from, to) still to ask
  while (!ranges.empty()) {
    const auto [from, to] = ranges.back();
    ranges.pop_back();
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = from;
    query.l_len = to - from;
    if (os.Lock(file.fd(), F_OFD_GETLK, query) < 0) return false;
    if (query.l_type == F_UNLCK) continue;
    const off_t start = std::max(query.l_start, from);
    const off_t end = query.l_len == 0 ? to : std::min(query.l_start + query.l_len, to);
    if (start >= end) return false;  // a report outside the range asked: do not trust it
    for (off_t n = start; n < end; ++n) locked.set(static_cast<size_t>(n));
    if (end < to) ranges.emplace_back(end, to);
    if (from < start) ranges.emplace_back(from, start);
  }
  return true;
}

std::string DrawingLockPath(const CEnvironObj& env, const std::string& drawingPath) {
  std::string path = env.GetDirNameFromRelativePath(drawingPath);
  env.AddFileName(path, kDrawingLockFileName);
  return path;
}

std::string PageLockPath(const CEnvironObj& env, const std::string& drawingPath, int folderNo) {
  std::string path = env.GetDirNameFromRelativePath(drawingPath);
  env.AddFileName(path, PageLockName(folderNo));
  return path;
}

const std::string& LockPaths::Dir(const CEnvironObj& env, const std::string& drawingPath) {
  if (&env != env_ || drawingPath != drawingPath_) {
    env_ = &env;
    drawingPath_ = drawingPath;
    dir_ = env.GetDirNameFromRelativePath(drawingPath);
    pageKnown_ = false;
  }
  return dir_;
}

const std::string& LockPaths::PagePath(const CEnvironObj& env, const std::string& drawingPath,
                                       int folderNo) {
  const std::string& dir = Dir(env, drawingPath);
  if (!pageKnown_ || folderNo != folderNo_) {
    pagePath_ = dir;
    env.AddFileName(pagePath_, PageLockName(folderNo));
    folderNo_ = folderNo;
    pageKnown_ = true;
  }
  return pagePath_;
}

}  // namespace vexa::lock
