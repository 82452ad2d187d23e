#include "vexafol/file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "platform/env.h"
#include "platform/filetime_epoch.h"
#include "platform/folder_mode.h"
#include "platform/mount_check.h"
#include "platform/regular_file.h"

namespace vexa {
namespace {

using platform::CurrentEnv;

// A deleter holds the sentinel exclusively only between its upgrade and its
// close, so an opener that meets it succeeds within a few attempts.
constexpr int kOpenAttempts = 1000;

bool IsConflict(int error) {
  return error == EAGAIN || error == EACCES;
}

// The file system takes no byte-range locks at all: the handle works without
// the in-use mark (and CloseAndRemove then only closes).
bool LocksUnsupported(int error) {
  return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

// Every byte a lock can cover.
constexpr uint64_t kWholeFile = LLONG_MAX;

// Errors after which the handle no longer stands for the file (lost NFS state).
bool MeansBadHandle(int error) {
  return error == EIO || error == ESTALE;
}

struct flock LockOf(short type, uint64_t offset, uint64_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  return lock;  // l_pid stays 0, as open file description locks require
}

FILETIME ToFileTime(const struct timespec& time) {
  const int64_t seconds = time.tv_sec + platform::kSecondsFrom1601To1970;
  if (seconds < 0) return {0, 0};
  const uint64_t ticks = static_cast<uint64_t>(seconds) * platform::kTicksPerSecond +
                         static_cast<uint64_t>(time.tv_nsec) / 100u;
  return {static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

}  // namespace

FileException::FileException(int error, const std::string& path, const std::string& what)
    : std::runtime_error(what + " (" + path + "): " + std::strerror(error)),
      error_(error),
      path_(path) {}

struct File::Handle {
  int fd = -1;
  bool writable = false;
  bool inUseMark = false;  // holds the shared lock on the sentinel byte
  bool bad = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string path;
  std::vector<std::pair<uint64_t, uint64_t>> held;  // locked ranges [start, end)
};

File::File() = default;
File::~File() {
  Close();
}

int File::fd() const {
  return handle_ ? handle_->fd : -1;
}

std::string File::GetFilePath() const {
  return handle_ ? handle_->path : std::string();
}

bool File::Fail(int error) const {
  lastError_ = error;
  if (handle_ && MeansBadHandle(error)) handle_->bad = true;
  return false;
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    bool retry = false;
    if (OpenOnce(path, mode, retry)) return true;
    if (!retry) return false;
    std::this_thread::yield();  // let a deleter that holds the file finish
  }
  return false;
}

// One attempt: open, mark the file in use, then make sure the path still names
// the file we hold. retry is set when a deleter got in the way (or NFS lost the
// handle) and a new attempt will find the file the path names now. Only a
// regular file is opened, never through a symbolic link in the last component:
// a lock file anybody can replace must never lead the library to change
// another file.
bool File::OpenOnce(const std::string& path, Mode mode, bool& retry) {
  platform::Env& env = CurrentEnv();
  const int flags = mode == Mode::ReadOnly ? O_RDONLY : O_RDWR | O_CREAT;
  const int fd = platform::OpenCreatingInFolderMode(path, flags);
  if (fd < 0) {
    lastError_ = -fd;
    retry = lastError_ == ESTALE;
    return false;
  }
  handle_ = std::make_unique<Handle>();
  handle_->fd = fd;
  handle_->writable = mode != Mode::ReadOnly;
  handle_->path = path;
  auto giveUp = [&](int error, bool again) {
    Close();
    lastError_ = error;
    retry = again;
    return false;
  };

  struct flock mark = LockOf(F_RDLCK, kSentinelOffset, 1);
  const int marked = env.Lock(fd, F_OFD_SETLK, mark);
  if (marked == 0) {
    handle_->inUseMark = true;
  } else if (IsConflict(-marked)) {
    return giveUp(-marked, true);  // its last user is deleting it right now
  } else if (!LocksUnsupported(-marked)) {
    return giveUp(-marked, -marked == ESTALE);
  }

  struct stat opened, named;
  int rc = env.Fstat(fd, opened);
  if (rc < 0) return giveUp(-rc, -rc == ESTALE);
  if (opened.st_nlink == 0) return giveUp(ENOENT, true);  // deleted before we marked it
  rc = env.Lstat(path, named);
  if (rc < 0) return giveUp(-rc, -rc == ENOENT || -rc == ESTALE);
  if (named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
    return giveUp(ENOENT, true);  // the path names a newer file (or a link) now
  // A second name may have been planted for another file of the store: never
  // let a write through this name change that file. A file still being made
  // has its draft name for a moment (or for good, if its maker died there):
  // that name goes, and the open tries again.
  if (handle_->writable && opened.st_nlink > 1) {
    struct stat now;
    const bool draft = platform::RemoveDraftNamesOf(path, opened) ||
                       (env.Fstat(fd, now) == 0 && now.st_nlink == 1);
    return giveUp(EMLINK, draft);
  }
  // A file somebody locks a byte of (a client that holds no in-use mark, such as
  // a Windows client through a file server) is never cut short under them.
  if (mode == Mode::CreateTruncate && CheckForeignLock(0, kWholeFile, F_WRLCK) == 0 &&
      (rc = env.Truncate(fd, 0)) < 0)
    return giveUp(-rc, false);

  handle_->device = opened.st_dev;
  handle_->inode = opened.st_ino;
  platform::WarnIfLocksAreLocal(opened.st_dev, path);
  lastError_ = 0;
  return true;
}

void File::Close() {
  if (!handle_) return;
  CurrentEnv().Close(handle_->fd);  // the descriptor is gone even when close reports an error
  handle_.reset();
}

int File::CheckForeignLock(uint64_t offset, uint64_t length, short type) {
  if (length == 0 || offset >= kWholeFile) return 0;
  const uint64_t end = offset + std::min(length, kWholeFile - offset);
  // The sentinel byte carries only in-use marks, never a lock on data.
  const std::pair<uint64_t, uint64_t> parts[] = {{offset, std::min(end, kSentinelOffset)},
                                                 {std::max(offset, kSentinelOffset + 1), end}};
  for (const auto& [from, to] : parts) {
    if (from >= to) continue;
    struct flock query = LockOf(type, from, to - from);
    const int rc = CurrentEnv().Lock(handle_->fd, F_OFD_GETLK, query);
    if (rc < 0 && LocksUnsupported(-rc)) return 0;
    if (rc < 0) return -rc;
    // Locks of this open file description never conflict with the query.
    if (query.l_type != F_UNLCK) return EACCES;
  }
  return 0;
}

bool File::TryRead(void* buffer, size_t count, size_t& got) {
  got = 0;
  if (!handle_) return Fail(EBADF);
  if (count == 0) return true;
  platform::Env& env = CurrentEnv();
  const off_t position = env.Seek(handle_->fd, 0, SEEK_CUR);
  if (position < 0) return Fail(static_cast<int>(-position));
  if (const int error = CheckForeignLock(static_cast<uint64_t>(position), count, F_RDLCK))
    return Fail(error);
  while (got < count) {
    const ssize_t n = env.Read(handle_->fd, static_cast<char*>(buffer) + got, count - got);
    if (n < 0) return Fail(static_cast<int>(-n));
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return true;
}

bool File::TryWrite(const void* buffer, size_t count) {
  if (!handle_) return Fail(EBADF);
  if (count == 0) return true;
  platform::Env& env = CurrentEnv();
  const off_t position = env.Seek(handle_->fd, 0, SEEK_CUR);
  if (position < 0) return Fail(static_cast<int>(-position));
  if (const int error = CheckForeignLock(static_cast<uint64_t>(position), count, F_WRLCK))
    return Fail(error);
  size_t total = 0;
  while (total < count) {
    const ssize_t n =
        env.Write(handle_->fd, static_cast<const char*>(buffer) + total, count - total);
    if (n < 0) return Fail(static_cast<int>(-n));
    if (n == 0) return Fail(ENOSPC);
    total += static_cast<size_t>(n);
  }
  return true;
}

bool File::TrySeek(int64_t offset, SeekFrom from, uint64_t& position) {
  if (!handle_) return Fail(EBADF);
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
  const off_t reached = CurrentEnv().Seek(handle_->fd, static_cast<off_t>(offset), whence);
  if (reached < 0) return Fail(static_cast<int>(-reached));
  position = static_cast<uint64_t>(reached);
  return true;
}

size_t File::Read(void* buffer, size_t count) {
  size_t got = 0;
  if (!TryRead(buffer, count, got))
    throw FileException(lastError_, GetFilePath(),
                        lastError_ == EACCES ? "lock violation" : "read");
  return got;
}

void File::Write(const void* buffer, size_t count) {
  if (!TryWrite(buffer, count))
    throw FileException(lastError_, GetFilePath(),
                        lastError_ == EACCES ? "lock violation" : "write");
}

uint64_t File::Seek(int64_t offset, SeekFrom from) {
  uint64_t position = 0;
  if (!TrySeek(offset, from, position)) throw FileException(lastError_, GetFilePath(), "seek");
  return position;
}

bool File::GetLength(uint64_t& length) const {
  if (!handle_) return Fail(EBADF);
  struct stat st;
  if (const int rc = CurrentEnv().Fstat(handle_->fd, st); rc < 0) return Fail(-rc);
  length = static_cast<uint64_t>(st.st_size);
  return true;
}

uint64_t File::GetLength() const {
  uint64_t length = 0;
  return GetLength(length) ? length : 0;
}

bool File::SetLength(uint64_t length) {
  if (!handle_) return Fail(EBADF);
  if (length > static_cast<uint64_t>(LLONG_MAX)) return Fail(EINVAL);
  const int rc = CurrentEnv().Truncate(handle_->fd, static_cast<off_t>(length));
  if (rc < 0) return Fail(-rc);
  return true;
}

bool File::GetStatus(FileStatus& status) const {
  if (!handle_) return Fail(EBADF);
  if (handle_->bad) return Fail(EIO);
  struct stat st;
  if (const int rc = CurrentEnv().Fstat(handle_->fd, st); rc < 0) return Fail(-rc);
  // A handle on a file that was deleted behind our back locks nothing others see.
  if (st.st_nlink == 0) return Fail(ENOENT);
  status.size = static_cast<uint64_t>(st.st_size);
  status.modified = ToFileTime(st.st_mtim);
  status.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  status.path = handle_->path;
  return true;
}

bool File::LockRange(uint64_t offset, uint64_t length) {
  if (!handle_) return Fail(EBADF);
  const bool coversSentinel = offset <= kSentinelOffset && kSentinelOffset - offset < length;
  if (length == 0 || offset >= kLockLimit || length > kLockLimit - offset || coversSentinel)
    return Fail(EINVAL);
  const uint64_t end = offset + length;
  // The kernel would grant a lock its owner already holds; a second lock is refused here.
  for (const auto& [from, to] : handle_->held)
    if (offset < to && from < end) return Fail(EACCES);
  struct flock lock = LockOf(F_WRLCK, offset, length);
  if (const int rc = CurrentEnv().Lock(handle_->fd, F_OFD_SETLK, lock); rc < 0) return Fail(-rc);
  handle_->held.emplace_back(offset, end);
  return true;
}

bool File::UnlockRange(uint64_t offset, uint64_t length) {
  if (!handle_) return Fail(EBADF);
  auto& held = handle_->held;
  const auto range = std::find(held.begin(), held.end(), std::make_pair(offset, offset + length));
  if (length == 0 || range == held.end()) return Fail(EINVAL);  // not held as such
  struct flock lock = LockOf(F_UNLCK, offset, length);
  if (const int rc = CurrentEnv().Lock(handle_->fd, F_OFD_SETLK, lock); rc < 0) return Fail(-rc);
  held.erase(range);
  return true;
}

bool File::Reopen(size_t& lost) {
  lost = 0;
  if (!handle_) return Fail(EBADF);
  const std::string path = handle_->path;
  const Mode mode = handle_->writable ? Mode::ReadWrite : Mode::ReadOnly;
  const std::vector<std::pair<uint64_t, uint64_t>> held = std::move(handle_->held);
  if (!Open(path, mode)) {
    lost = held.size();
    return false;
  }
  for (const auto& [from, to] : held)
    if (!LockRange(from, to - from)) ++lost;
  lastError_ = lost > 0 ? EACCES : 0;
  return true;
}

void File::CloseAndRemove() {
  if (!handle_) return;
  platform::Env& env = CurrentEnv();
  Handle& handle = *handle_;
  bool lastUser = false;
  if (handle.inUseMark && handle.writable) {
    // Turning our shared mark into an exclusive one in place succeeds only when
    // no other handle has the file open, and keeps new openers out until we close.
    struct flock exclusive = LockOf(F_WRLCK, kSentinelOffset, 1);
    struct stat opened, named;
    lastUser = env.Lock(handle.fd, F_OFD_SETLK, exclusive) == 0 &&
               env.Fstat(handle.fd, opened) == 0 && opened.st_nlink > 0 &&
               env.Lstat(handle.path, named) == 0 && named.st_dev == handle.device &&
               named.st_ino == handle.inode;
    // Clients that know nothing of the in-use mark (Windows clients through a
    // file server or under Wine, plain fcntl users) show only by their locks:
    // a file any byte of which is locked by anybody else is still in use.
    lastUser = lastUser && CheckForeignLock(0, kWholeFile, F_WRLCK) == 0;
  }
  if (lastUser) env.Unlink(handle.path);
  Close();
}

}  // namespace vexa
