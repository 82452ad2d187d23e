// An Env that passes every call through to the real one, except those a test
// chose to fail: "the Nth Open whose path contains X fails with EIO". Its calls
// may come from several threads at once; set rules while no call runs.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vexa::platform {

enum class Op {
  Open,
  Close,
  Read,
  PRead,
  Write,
  Seek,
  Truncate,
  Sync,
  Fstat,
  Stat,
  Lock,
  Unlink,
  Rename,
  MakeDir,
  RemoveDir,
  Chmod,
  Fchmod,
  Chown,
  ListDir,
  HostName,
  UserName,
  ReadSystemFile,
  // The calls relative to a folder descriptor; their path is the folder's
  // path, "/" and the name.
  OpenBeneath,
  MakeDirAt,
  UnlinkAt,
  RenameAt,
  StatAt,
  ListDirAt,
  ChangeModeOf,
  ChangeGroupOf,
  kCount
};

class FaultEnv : public Env {
 public:
  // Fails calls of op (whose path, when the call has one, contains pathPart),
  // skipping the first `skip` matching calls and failing the next `times` ones
  // (times < 0: every later one) with -error.
  void Fail(Op op, int error, const std::string& pathPart = "", int skip = 0, int times = -1);
  // Runs action just before the (skip + 1)th call of op whose path contains
  // pathPart, once; the call then goes ahead. Tests change the disk there,
  // as another process could between two calls (swap a folder for a link).
  void Before(Op op, const std::string& pathPart, int skip, std::function<void()> action);
  void Clear();
  // Matching calls seen so far for op (failed or not).
  int Calls(Op op) const;

  int Open(const std::string& path, int flags, mode_t mode) override;
  int Close(int fd) override;
  ssize_t Read(int fd, void* buffer, size_t count) override;
  ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) override;
  ssize_t Write(int fd, const void* buffer, size_t count) override;
  off_t Seek(int fd, off_t offset, int whence) override;
  int Truncate(int fd, off_t length) override;
  int Sync(int fd) override;
  int Fstat(int fd, struct stat& st) override;
  int Stat(const std::string& path, struct stat& st) override;
  // Matched by the rules of Op::Stat.
  int Lstat(const std::string& path, struct stat& st) override;
  int Lock(int fd, int command, struct flock& lock) override;
  int Unlink(const std::string& path) override;
  int Rename(const std::string& from, const std::string& to) override;
  // Matched by the rules of Op::Rename.
  int RenameNoReplace(const std::string& from, const std::string& to) override;
  int Link(const std::string& from, const std::string& to) override;
  int MakeDir(const std::string& path, mode_t mode) override;
  int RemoveDir(const std::string& path) override;
  int Chmod(const std::string& path, mode_t mode) override;
  int Fchmod(int fd, mode_t mode) override;
  int Chown(const std::string& path, uid_t owner, gid_t group) override;
  // Matches the rules of Op::Chmod.
  int AddHiddenAttribute(const std::string& path) override;
  int ListDir(const std::string& path, std::vector<DirEntry>& entries) override;
  int OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) override;
  int MakeDirAt(int dirFd, const std::string& name, mode_t mode) override;
  int UnlinkAt(int dirFd, const std::string& name, int flags) override;
  // Matched by the source's path.
  int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to) override;
  int StatAt(int dirFd, const std::string& name, struct stat& st) override;
  int ListDirAt(int dirFd, std::vector<DirEntry>& entries) override;
  int ChangeModeOf(int fd, mode_t mode) override;
  int ChangeGroupOf(int fd, gid_t group) override;
  std::string HostName() override;
  std::string UserName() override;
  std::string ReadSystemFile(const std::string& path) override;

 private:
  struct Rule {
    Op op;
    int error;
    std::string pathPart;
    int skip;
    int times;
    std::function<void()> action;  // set: run it instead of failing
  };
  // Returns -error when this call must fail, else 0. Counts the call.
  int Check(Op op, const std::string& path);

  mutable std::mutex mutex_;  // guards the rules' counters and calls_
  std::vector<Rule> rules_;
  int calls_[static_cast<int>(Op::kCount)] = {};
};

}  // namespace vexa::platform
