// A file system as a network share shows it: every request through the
// platform seam waits a fixed round trip before the real call. Used where no
// real share (or FUSE) is at hand; requests made on several threads wait
// together, as on a share.
#pragma once

#include <time.h>

#include <string>
#include <vector>

#include "platform/env.h"

namespace vexa::bench {

class DelayEnv : public platform::Env {
 public:
  explicit DelayEnv(long microseconds) : delay_{0, microseconds * 1000} {}

  int Open(const std::string& path, int flags, mode_t mode) override {
    Wait();
    return Env::Open(path, flags, mode);
  }
  int Close(int fd) override {
    Wait();
    return Env::Close(fd);
  }
  ssize_t Read(int fd, void* buffer, size_t count) override {
    Wait();
    return Env::Read(fd, buffer, count);
  }
  ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) override {
    Wait();
    return Env::PRead(fd, buffer, count, offset);
  }
  ssize_t Write(int fd, const void* buffer, size_t count) override {
    Wait();
    return Env::Write(fd, buffer, count);
  }
  off_t Seek(int fd, off_t offset, int whence) override {
    Wait();
    return Env::Seek(fd, offset, whence);
  }
  int Truncate(int fd, off_t length) override {
    Wait();
    return Env::Truncate(fd, length);
  }
  int Fstat(int fd, struct stat& st) override {
    Wait();
    return Env::Fstat(fd, st);
  }
  int Stat(const std::string& path, struct stat& st) override {
    Wait();
    return Env::Stat(path, st);
  }
  int Lock(int fd, int command, struct flock& lock) override {
    Wait();
    return Env::Lock(fd, command, lock);
  }
  int Unlink(const std::string& path) override {
    Wait();
    return Env::Unlink(path);
  }
  int MakeDir(const std::string& path, mode_t mode) override {
    Wait();
    return Env::MakeDir(path, mode);
  }
  int ListDir(const std::string& path, std::vector<platform::DirEntry>& entries) override {
    Wait();
    return Env::ListDir(path, entries);
  }

 private:
  void Wait() const { nanosleep(&delay_, nullptr); }
  timespec delay_;
};

}  // namespace vexa::bench
