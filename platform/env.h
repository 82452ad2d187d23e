// The one seam through which the core reaches the operating system. Production
// code calls CurrentEnv(); tests install a FaultEnv (tests/support/fault_env.h)
// to fail chosen calls. Every call returns 0 (or a count / descriptor) on success and
// -errno on failure, so no caller depends on the global errno.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa::platform {

struct DirEntry {
  std::string name;
  bool isDir = false;
};

class Env {
 public:
  virtual ~Env() = default;

  virtual int Open(const std::string& path, int flags, mode_t mode);
  virtual int Close(int fd);
  virtual ssize_t Read(int fd, void* buffer, size_t count);
  virtual ssize_t PRead(int fd, void* buffer, size_t count, off_t offset);
  virtual ssize_t Write(int fd, const void* buffer, size_t count);
  virtual off_t Seek(int fd, off_t offset, int whence);
  virtual int Truncate(int fd, off_t length);
  virtual int Sync(int fd);
  virtual int Fstat(int fd, struct stat& st);
  virtual int Stat(const std::string& path, struct stat& st);
  // Status of path itself: a symbolic link is not followed.
  virtual int Lstat(const std::string& path, struct stat& st);
  // Clears O_NONBLOCK, which an open may use so that a FIFO cannot block it.
  virtual int ClearNonBlocking(int fd);
  // fcntl with F_OFD_SETLK / F_OFD_GETLK (never a waiting command).
  virtual int Lock(int fd, int command, struct flock& lock);

  virtual int Unlink(const std::string& path);
  virtual int Rename(const std::string& from, const std::string& to);
  // A rename that never replaces what is at `to` (-EEXIST then), as Windows'
  // MoveFile refuses to. Where the file system cannot do it atomically, it looks
  // first and then renames.
  virtual int RenameNoReplace(const std::string& from, const std::string& to);
  // A second name for a file (hard link); -EEXIST when to exists.
  virtual int Link(const std::string& from, const std::string& to);
  virtual int MakeDir(const std::string& path, mode_t mode);
  virtual int RemoveDir(const std::string& path);
  virtual int Chmod(const std::string& path, mode_t mode);
  virtual int Fchmod(int fd, mode_t mode);
  // Owner and group of path itself (a symbolic link is not followed); -1 keeps one.
  virtual int Chown(const std::string& path, uid_t owner, gid_t group);
  // Adds the DOS hidden attribute to a file or folder where the file system
  // keeps DOS attributes (vfat; FAT_IOCTL_*_ATTRIBUTES); -ENOTTY elsewhere.
  virtual int AddHiddenAttribute(const std::string& path);
  // Entries other than "." and "..", in directory order.
  virtual int ListDir(const std::string& path, std::vector<DirEntry>& entries);

  // Calls relative to a folder descriptor (the store API, platform/store_fs.h).
  // OpenBeneath opens relative below dirFd: no symbolic link in any component
  // is followed (-ELOOP), no component leaves dirFd's tree or device (-EXDEV).
  virtual int OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode);
  virtual int MakeDirAt(int dirFd, const std::string& name, mode_t mode);
  // unlinkat: flags 0 for a file or link, AT_REMOVEDIR for an empty folder.
  virtual int UnlinkAt(int dirFd, const std::string& name, int flags);
  // renameat2 with RENAME_NOREPLACE (look, then rename where the file system
  // lacks the flag): -EEXIST when to exists.
  virtual int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to);
  // Status of the entry itself (a link is not followed); "" for dirFd itself.
  virtual int StatAt(int dirFd, const std::string& name, struct stat& st);
  // Entries of the folder dirFd; isDir only for real folders, never for links.
  virtual int ListDirAt(int dirFd, std::vector<DirEntry>& entries);
  // Mode and group of the file or folder that fd (an O_PATH descriptor opened
  // without following a link) is; a group of -1 is kept.
  virtual int ChangeModeOf(int fd, mode_t mode);
  virtual int ChangeGroupOf(int fd, gid_t group);

  // The mount flags (statvfs f_flag: ST_RDONLY, ...) of the file system of path.
  virtual int FileSystemFlags(const std::string& path, unsigned long& flags);

  virtual std::string HostName();
  virtual std::string UserName();
  // The full name of the effective user (the first comma-separated field of
  // the account's comment, "山田太郎,,," -> "山田太郎"); "" when there is none.
  virtual std::string UserFullName();
  // Name and primary group of the account uid; false when no account has it.
  virtual bool UserOf(uid_t uid, std::string& name, gid_t& group);
  // Name of the group gid; "" when no group has it.
  virtual std::string GroupName(gid_t gid);
  // Whole text of a small system file such as /proc/self/mountinfo ("" if
  // unreadable); a FIFO does not block it.
  virtual std::string ReadSystemFile(const std::string& path);
  // Runs body in a child process (fork) and waits for it: the child's exit
  // status (what body returned, 0 to 255), or -errno when no child could be
  // made or it did not exit normally (-ECHILD).
  virtual int RunInChild(const std::function<int()>& body);
  // Runs the program argv[0] (searched in PATH) with standard input from
  // /dev/null and standard error discarded, and keeps up to 1 MiB of its
  // standard output in output. A program still running after timeoutMs
  // milliseconds is killed. Its exit status (0 to 255), or -ENOENT when it
  // cannot be run, -ETIMEDOUT when it was killed, -ECHILD when a signal ended it.
  virtual int RunProgram(const std::vector<std::string>& argv, int timeoutMs, std::string& output);
};

// The error of the last Env call of this thread that failed (0 before any):
// the counterpart of GetLastError for steps that report only success or
// failure, such as the host's CreateDir. Failed calls of a FaultEnv count too.
int LastSystemError();
void SetLastSystemError(int error);

// The Env in force (the real operating system unless a test replaced it).
Env& CurrentEnv();

// Installs env for the lifetime of the object and restores the previous one.
class ScopedEnv {
 public:
  explicit ScopedEnv(Env& env);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  Env* previous_;
};

}  // namespace vexa::platform
