#include "platform/env.h"

#include <dirent.h>
#include <grp.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vexa::platform {
namespace {

thread_local int t_lastError = 0;

int Result(int rc) {
  if (rc >= 0) return rc;
  t_lastError = errno;
  return -errno;
}

template <typename T>
T ResultOf(T rc) {
  if (rc >= 0) return rc;
  t_lastError = errno;
  return static_cast<T>(-errno);
}

// Retries a call that a signal interrupted.
template <typename F>
auto Retry(F call) {
  decltype(call()) rc;
  do {
    rc = call();
  } while (rc < 0 && errno == EINTR);
  return rc;
}

Env* g_env = nullptr;

// The descriptor walk of kernels without openat2 (before 5.6): one component
// at a time, none a link, none "..", each on the device of dirFd.
int OpenWalking(int dirFd, const std::string& relative, int flags, mode_t mode) {
  struct stat top;
  if (::fstat(dirFd, &top) != 0) return -errno;
  if (relative.empty() || relative.front() == '/') return -EXDEV;
  int current = -1;  // -1: still dirFd
  size_t start = 0;
  for (;;) {
    const size_t slash = relative.find('/', start);
    const std::string part = relative.substr(start, slash - start);
    const bool last = slash == std::string::npos;
    const int base = current < 0 ? dirFd : current;
    int next;
    if (part == "..") {
      next = -EXDEV;
    } else if (part.empty() || part == ".") {
      next = last ? ::openat(base, ".", flags | O_NOFOLLOW | O_CLOEXEC, mode)
                  : ::dup(base);  // "a//b", "./a": stay
      if (next < 0) next = -errno;
    } else {
      const int f =
          last ? flags | O_NOFOLLOW | O_CLOEXEC : O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
      next = Retry([&] { return ::openat(base, part.c_str(), f, mode); });
      if (next < 0) next = -errno;
    }
    if (current >= 0) ::close(current);
    if (next < 0) return next;
    struct stat st;
    if (::fstat(next, &st) != 0 || st.st_dev != top.st_dev) {
      ::close(next);
      return -EXDEV;
    }
    if (last) return next;
    current = next;
    start = slash + 1;
  }
}

// The entries of dir other than "." and "..", then closes it. statFlags
// decide whether a link to a folder counts as a folder (0) or not
// (AT_SYMLINK_NOFOLLOW) where the entry's type must be asked for.
int ReadEntries(DIR* dir, int statFlags, std::vector<DirEntry>& entries) {
  const bool followLinks = (statFlags & AT_SYMLINK_NOFOLLOW) == 0;
  errno = 0;
  while (struct dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    DirEntry item;
    item.name = entry->d_name;
    if (entry->d_type == DT_UNKNOWN || (followLinks && entry->d_type == DT_LNK)) {
      struct stat st;
      item.isDir = ::fstatat(dirfd(dir), entry->d_name, &st, statFlags) == 0 && S_ISDIR(st.st_mode);
    } else {
      item.isDir = entry->d_type == DT_DIR;
    }
    entries.push_back(std::move(item));
    errno = 0;
  }
  const int error = errno;
  ::closedir(dir);
  if (error) t_lastError = error;
  return error ? -error : 0;
}

}  // namespace

int Env::Open(const std::string& path, int flags, mode_t mode) {
  return Result(Retry([&] { return ::open(path.c_str(), flags | O_CLOEXEC, mode); }));
}

int Env::Close(int fd) {
  return Result(::close(fd));
}

ssize_t Env::Read(int fd, void* buffer, size_t count) {
  return ResultOf(Retry([&] { return ::read(fd, buffer, count); }));
}

ssize_t Env::PRead(int fd, void* buffer, size_t count, off_t offset) {
  return ResultOf(Retry([&] { return ::pread(fd, buffer, count, offset); }));
}

ssize_t Env::Write(int fd, const void* buffer, size_t count) {
  return ResultOf(Retry([&] { return ::write(fd, buffer, count); }));
}

off_t Env::Seek(int fd, off_t offset, int whence) {
  return ResultOf(::lseek(fd, offset, whence));
}

int Env::Truncate(int fd, off_t length) {
  return Result(Retry([&] { return ::ftruncate(fd, length); }));
}

int Env::Sync(int fd) {
  return Result(Retry([&] { return ::fsync(fd); }));
}

int Env::Fstat(int fd, struct stat& st) {
  return Result(::fstat(fd, &st));
}

int Env::Stat(const std::string& path, struct stat& st) {
  return Result(::stat(path.c_str(), &st));
}

int Env::Lstat(const std::string& path, struct stat& st) {
  return Result(::lstat(path.c_str(), &st));
}

int Env::ClearNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return -errno;
  return Result(::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK));
}

int Env::Lock(int fd, int command, struct flock& lock) {
  return Result(Retry([&] { return ::fcntl(fd, command, &lock); }));
}

int Env::Unlink(const std::string& path) {
  return Result(::unlink(path.c_str()));
}

int Env::Rename(const std::string& from, const std::string& to) {
  return Result(::rename(from.c_str(), to.c_str()));
}

int Env::RenameNoReplace(const std::string& from, const std::string& to) {
  const int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (rc == 0 || (errno != EINVAL && errno != ENOSYS)) return Result(rc);
  // A file system without the flag (some network mounts): look, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    t_lastError = EEXIST;
    return -EEXIST;
  }
  return Result(::rename(from.c_str(), to.c_str()));
}

int Env::Link(const std::string& from, const std::string& to) {
  return Result(::link(from.c_str(), to.c_str()));
}

int Env::MakeDir(const std::string& path, mode_t mode) {
  return Result(::mkdir(path.c_str(), mode));
}

int Env::RemoveDir(const std::string& path) {
  return Result(::rmdir(path.c_str()));
}

int Env::Chmod(const std::string& path, mode_t mode) {
  return Result(::chmod(path.c_str(), mode));
}

int Env::Fchmod(int fd, mode_t mode) {
  return Result(::fchmod(fd, mode));
}

int Env::Chown(const std::string& path, uid_t owner, gid_t group) {
  return Result(::lchown(path.c_str(), owner, group));
}

int Env::AddHiddenAttribute(const std::string& path) {
  const int fd = Open(path, O_RDONLY, 0);
  if (fd < 0) return fd;
  __u32 attributes = 0;
  int rc = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
  if (rc == 0) {
    attributes |= ATTR_HIDDEN;
    rc = ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes);
  }
  rc = Result(rc);
  Close(fd);
  return rc;
}

int Env::ListDir(const std::string& path, std::vector<DirEntry>& entries) {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return Result(-1);
  return ReadEntries(dir, 0, entries);  // a link to a folder lists as a folder
}

int Env::OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) {
  struct open_how how {};
  how.flags = static_cast<uint64_t>(flags | O_NOFOLLOW | O_CLOEXEC);
  how.mode = (flags & (O_CREAT | O_TMPFILE)) ? mode : 0;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV;
  const long fd =
      Retry([&] { return ::syscall(SYS_openat2, dirFd, relative.c_str(), &how, sizeof how); });
  if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return Result(static_cast<int>(fd));
  // No openat2 (an old kernel, or a seccomp filter that refuses it).
  const int walked = OpenWalking(dirFd, relative, flags, mode);
  if (walked < 0) t_lastError = -walked;
  return walked;
}

int Env::MakeDirAt(int dirFd, const std::string& name, mode_t mode) {
  return Result(::mkdirat(dirFd, name.c_str(), mode));
}

int Env::UnlinkAt(int dirFd, const std::string& name, int flags) {
  return Result(::unlinkat(dirFd, name.c_str(), flags));
}

int Env::RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to) {
  const int rc = ::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE);
  if (rc == 0 || (errno != EINVAL && errno != ENOSYS)) return Result(rc);
  struct stat st;
  if (::fstatat(toDir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    t_lastError = EEXIST;
    return -EEXIST;
  }
  return Result(::renameat(fromDir, from.c_str(), toDir, to.c_str()));
}

int Env::StatAt(int dirFd, const std::string& name, struct stat& st) {
  const int flags = AT_SYMLINK_NOFOLLOW | (name.empty() ? AT_EMPTY_PATH : 0);
  return Result(::fstatat(dirFd, name.c_str(), &st, flags));
}

int Env::ListDirAt(int dirFd, std::vector<DirEntry>& entries) {
  const int copy = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (copy < 0) return Result(-1);
  DIR* dir = ::fdopendir(copy);
  if (!dir) {
    const int rc = Result(-1);
    ::close(copy);
    return rc;
  }
  return ReadEntries(dir, AT_SYMLINK_NOFOLLOW, entries);  // only real folders are folders
}

int Env::ChangeModeOf(int fd, mode_t mode) {
  // fchmod refuses O_PATH descriptors; the descriptor's own /proc entry names
  // the very file it was opened on, whatever its path names now.
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  return Result(::chmod(self, mode));
}

int Env::ChangeGroupOf(int fd, gid_t group) {
  return Result(::fchownat(fd, "", static_cast<uid_t>(-1), group, AT_EMPTY_PATH));
}

int Env::FileSystemFlags(const std::string& path, unsigned long& flags) {
  struct statvfs st;
  const int rc = Result(::statvfs(path.c_str(), &st));
  if (rc == 0) flags = st.f_flag;
  return rc;
}

std::string Env::HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

std::string Env::UserName() {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
    return found->pw_name;
  return "";
}

std::string Env::UserFullName() {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found ||
      !found->pw_gecos)
    return "";
  const std::string comment = found->pw_gecos;
  return comment.substr(0, comment.find(','));
}

bool Env::UserOf(uid_t uid, std::string& name, gid_t& group) {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) != 0 || !found) return false;
  name = found->pw_name;
  group = found->pw_gid;
  return true;
}

std::string Env::GroupName(gid_t gid) {
  struct group entry;
  struct group* found = nullptr;
  char buffer[4096];
  if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) != 0 || !found) return "";
  return found->gr_name;
}

std::string Env::ReadSystemFile(const std::string& path) {
  const int fd = Open(path, O_RDONLY | O_NONBLOCK, 0);  // a FIFO must not block the open
  if (fd < 0) return "";
  std::string text;
  char chunk[4096];
  for (ssize_t n; (n = Read(fd, chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<size_t>(n));
    if (text.size() > (16u << 20)) break;  // a system file never legitimately grows past this
  }
  Close(fd);
  return text;
}

int Env::RunInChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid < 0) return -errno;
  if (pid == 0) _exit(body() & 0xff);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -errno;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -ECHILD;
}

int LastSystemError() {
  return t_lastError;
}
void SetLastSystemError(int error) {
  t_lastError = error;
}

Env& CurrentEnv() {
  // Never destroyed: files closed by static destructors still need it at exit.
  static Env& system = *new Env;
  return g_env ? *g_env : system;
}

ScopedEnv::ScopedEnv(Env& env) : previous_(g_env) {
  g_env = &env;
}
ScopedEnv::~ScopedEnv() {
  g_env = previous_;
}

}  // namespace vexa::platform
