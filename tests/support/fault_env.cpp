#include "tests/support/fault_env.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vexa::platform {

void FaultEnv::Fail(Op op, int error, const std::string& pathPart, int skip, int times) {
  const std::lock_guard<std::mutex> guard(mutex_);
  rules_.push_back({op, error, pathPart, skip, times, nullptr});
}

void FaultEnv::Before(Op op, const std::string& pathPart, int skip, std::function<void()> action) {
  const std::lock_guard<std::mutex> guard(mutex_);
  rules_.push_back({op, 0, pathPart, skip, 1, std::move(action)});
}

void FaultEnv::Clear() {
  const std::lock_guard<std::mutex> guard(mutex_);
  rules_.clear();
  for (int& count : calls_) count = 0;
}

int FaultEnv::Calls(Op op) const {
  const std::lock_guard<std::mutex> guard(mutex_);
  return calls_[static_cast<int>(op)];
}

int FaultEnv::Check(Op op, const std::string& path) {
  std::function<void()> action;
  {
    const std::lock_guard<std::mutex> guard(mutex_);
    ++calls_[static_cast<int>(op)];
    for (Rule& rule : rules_) {
      if (rule.op != op || rule.times == 0) continue;
      if (!rule.pathPart.empty() && path.find(rule.pathPart) == std::string::npos) continue;
      if (rule.skip > 0) {
        --rule.skip;
        continue;
      }
      if (rule.times > 0) --rule.times;
      if (rule.action) {
        action = std::move(rule.action);
        break;
      }
      SetLastSystemError(rule.error);
      return -rule.error;
    }
  }
  if (action) action();  // outside the lock: it may call this Env itself
  return 0;
}

// Calls on a descriptor match rules by the descriptor's path, read from /proc.
namespace {
std::string PathOf(int fd) {
  char link[64];
  char target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}
}  // namespace

#define VEXA_FAULT(op, path)                 \
  if (const int failure = Check(op, path)) { \
    return failure;                          \
  }

int FaultEnv::Open(const std::string& path, int flags, mode_t mode) {
  VEXA_FAULT(Op::Open, path);
  return Env::Open(path, flags, mode);
}
int FaultEnv::Close(int fd) {
  const int failure = Check(Op::Close, PathOf(fd));
  const int rc = Env::Close(fd);  // a failed close still releases the descriptor
  return failure ? failure : rc;
}
ssize_t FaultEnv::Read(int fd, void* buffer, size_t count) {
  VEXA_FAULT(Op::Read, PathOf(fd));
  return Env::Read(fd, buffer, count);
}
ssize_t FaultEnv::PRead(int fd, void* buffer, size_t count, off_t offset) {
  VEXA_FAULT(Op::PRead, PathOf(fd));
  return Env::PRead(fd, buffer, count, offset);
}
ssize_t FaultEnv::Write(int fd, const void* buffer, size_t count) {
  VEXA_FAULT(Op::Write, PathOf(fd));
  return Env::Write(fd, buffer, count);
}
off_t FaultEnv::Seek(int fd, off_t offset, int whence) {
  VEXA_FAULT(Op::Seek, PathOf(fd));
  return Env::Seek(fd, offset, whence);
}
int FaultEnv::Truncate(int fd, off_t length) {
  VEXA_FAULT(Op::Truncate, PathOf(fd));
  return Env::Truncate(fd, length);
}
int FaultEnv::Sync(int fd) {
  VEXA_FAULT(Op::Sync, PathOf(fd));
  return Env::Sync(fd);
}
int FaultEnv::Fstat(int fd, struct stat& st) {
  VEXA_FAULT(Op::Fstat, PathOf(fd));
  return Env::Fstat(fd, st);
}
int FaultEnv::Stat(const std::string& path, struct stat& st) {
  VEXA_FAULT(Op::Stat, path);
  return Env::Stat(path, st);
}
int FaultEnv::Lstat(const std::string& path, struct stat& st) {
  VEXA_FAULT(Op::Stat, path);
  return Env::Lstat(path, st);
}
int FaultEnv::Lock(int fd, int command, struct flock& lock) {
  VEXA_FAULT(Op::Lock, PathOf(fd));
  return Env::Lock(fd, command, lock);
}
int FaultEnv::Unlink(const std::string& path) {
  VEXA_FAULT(Op::Unlink, path);
  return Env::Unlink(path);
}
int FaultEnv::Rename(const std::string& from, const std::string& to) {
  VEXA_FAULT(Op::Rename, from);
  return Env::Rename(from, to);
}
int FaultEnv::RenameNoReplace(const std::string& from, const std::string& to) {
  VEXA_FAULT(Op::Rename, from);
  return Env::RenameNoReplace(from, to);
}
int FaultEnv::Link(const std::string& from, const std::string& to) {
  VEXA_FAULT(Op::Rename, from);
  return Env::Link(from, to);
}
int FaultEnv::AddHiddenAttribute(const std::string& path) {
  VEXA_FAULT(Op::Chmod, path);
  return Env::AddHiddenAttribute(path);
}
int FaultEnv::MakeDir(const std::string& path, mode_t mode) {
  VEXA_FAULT(Op::MakeDir, path);
  return Env::MakeDir(path, mode);
}
int FaultEnv::RemoveDir(const std::string& path) {
  VEXA_FAULT(Op::RemoveDir, path);
  return Env::RemoveDir(path);
}
int FaultEnv::Chmod(const std::string& path, mode_t mode) {
  VEXA_FAULT(Op::Chmod, path);
  return Env::Chmod(path, mode);
}
int FaultEnv::Fchmod(int fd, mode_t mode) {
  VEXA_FAULT(Op::Fchmod, PathOf(fd));
  return Env::Fchmod(fd, mode);
}
int FaultEnv::Chown(const std::string& path, uid_t owner, gid_t group) {
  VEXA_FAULT(Op::Chown, path);
  return Env::Chown(path, owner, group);
}
int FaultEnv::ListDir(const std::string& path, std::vector<DirEntry>& entries) {
  VEXA_FAULT(Op::ListDir, path);
  return Env::ListDir(path, entries);
}
namespace {
std::string PathIn(int dirFd, const std::string& name) {
  return name.empty() ? PathOf(dirFd) : PathOf(dirFd) + "/" + name;
}
}  // namespace

int FaultEnv::OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) {
  VEXA_FAULT(Op::OpenBeneath, PathIn(dirFd, relative));
  return Env::OpenBeneath(dirFd, relative, flags, mode);
}
int FaultEnv::MakeDirAt(int dirFd, const std::string& name, mode_t mode) {
  VEXA_FAULT(Op::MakeDirAt, PathIn(dirFd, name));
  return Env::MakeDirAt(dirFd, name, mode);
}
int FaultEnv::UnlinkAt(int dirFd, const std::string& name, int flags) {
  VEXA_FAULT(Op::UnlinkAt, PathIn(dirFd, name));
  return Env::UnlinkAt(dirFd, name, flags);
}
int FaultEnv::RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to) {
  VEXA_FAULT(Op::RenameAt, PathIn(fromDir, from));
  return Env::RenameAt(fromDir, from, toDir, to);
}
int FaultEnv::StatAt(int dirFd, const std::string& name, struct stat& st) {
  VEXA_FAULT(Op::StatAt, PathIn(dirFd, name));
  return Env::StatAt(dirFd, name, st);
}
int FaultEnv::ListDirAt(int dirFd, std::vector<DirEntry>& entries) {
  VEXA_FAULT(Op::ListDirAt, PathOf(dirFd));
  return Env::ListDirAt(dirFd, entries);
}
int FaultEnv::ChangeModeOf(int fd, mode_t mode) {
  VEXA_FAULT(Op::ChangeModeOf, PathOf(fd));
  return Env::ChangeModeOf(fd, mode);
}
int FaultEnv::ChangeGroupOf(int fd, gid_t group) {
  VEXA_FAULT(Op::ChangeGroupOf, PathOf(fd));
  return Env::ChangeGroupOf(fd, group);
}

std::string FaultEnv::HostName() {
  return Check(Op::HostName, "") ? "" : Env::HostName();
}
std::string FaultEnv::UserName() {
  return Check(Op::UserName, "") ? "" : Env::UserName();
}
std::string FaultEnv::ReadSystemFile(const std::string& path) {
  return Check(Op::ReadSystemFile, path) ? "" : Env::ReadSystemFile(path);
}

#undef VEXA_FAULT

}  // namespace vexa::platform
