// A file system as a network share shows it: every request through the
// platform seam that a share answers waits a fixed round trip before the real
// call, and is counted by kind. Used where no real share (or FUSE) is at hand;
// requests made on several threads wait together, as on a share. Changing a
// descriptor's own flags (ClearNonBlocking) stays on the client and is free.
#pragma once

#include <time.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vexa::bench {

class DelayEnv : public platform::Env {
 public:
  enum Kind { kOpen, kClose, kRead, kWrite, kSeek, kStat, kLock, kList, kChange, kKinds };

  explicit DelayEnv(long microseconds) : delay_{0, microseconds * 1000} {}

  int Open(const std::string& path, int flags, mode_t mode) override {
    Wait(kOpen);
    return Env::Open(path, flags, mode);
  }
  int OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) override {
    Wait(kOpen);
    return Env::OpenBeneath(dirFd, relative, flags, mode);
  }
  int Close(int fd) override {
    Wait(kClose);
    return Env::Close(fd);
  }
  ssize_t Read(int fd, void* buffer, size_t count) override {
    Wait(kRead);
    return Env::Read(fd, buffer, count);
  }
  ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) override {
    Wait(kRead);
    return Env::PRead(fd, buffer, count, offset);
  }
  ssize_t Write(int fd, const void* buffer, size_t count) override {
    Wait(kWrite);
    return Env::Write(fd, buffer, count);
  }
  off_t Seek(int fd, off_t offset, int whence) override {
    Wait(kSeek);
    return Env::Seek(fd, offset, whence);
  }
  int Truncate(int fd, off_t length) override {
    Wait(kChange);
    return Env::Truncate(fd, length);
  }
  int Fstat(int fd, struct stat& st) override {
    Wait(kStat);
    return Env::Fstat(fd, st);
  }
  int Stat(const std::string& path, struct stat& st) override {
    Wait(kStat);
    return Env::Stat(path, st);
  }
  int Lstat(const std::string& path, struct stat& st) override {
    Wait(kStat);
    return Env::Lstat(path, st);
  }
  int StatAt(int dirFd, const std::string& name, struct stat& st) override {
    Wait(kStat);
    return Env::StatAt(dirFd, name, st);
  }
  int Lock(int fd, int command, struct flock& lock) override {
    Wait(kLock);
    return Env::Lock(fd, command, lock);
  }
  int Unlink(const std::string& path) override {
    Wait(kChange);
    return Env::Unlink(path);
  }
  int MakeDir(const std::string& path, mode_t mode) override {
    Wait(kChange);
    return Env::MakeDir(path, mode);
  }
  int ListDir(const std::string& path, std::vector<platform::DirEntry>& entries) override {
    Wait(kList);
    return Env::ListDir(path, entries);
  }
  int ListDirAt(int dirFd, std::vector<platform::DirEntry>& entries) override {
    Wait(kList);
    return Env::ListDirAt(dirFd, entries);
  }

  long Requests() const {
    long total = 0;
    for (const auto& count : counts_) total += count.load(std::memory_order_relaxed);
    return total;
  }
  void ResetCounts() {
    for (auto& count : counts_) count.store(0, std::memory_order_relaxed);
  }
  // The requests so far per unit (a drawing), by kind: "3.00 (open 1.00, ...)".
  std::string PerUnit(long units) const {
    static const char* const names[kKinds] = {"open", "close", "read", "write", "seek",
                                              "stat", "lock",  "list", "change"};
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(Requests()) / units);
    std::string out = text;
    const char* separator = " (";
    for (int k = 0; k < kKinds; ++k) {
      const long n = counts_[k].load(std::memory_order_relaxed);
      if (n == 0) continue;
      std::snprintf(text, sizeof text, "%s%s %.3f", separator, names[k],
                    static_cast<double>(n) / units);
      out += text;
      separator = ", ";
    }
    return out + (Requests() > 0 ? ")" : "");
  }

 private:
  void Wait(Kind kind) {
    counts_[kind].fetch_add(1, std::memory_order_relaxed);
    nanosleep(&delay_, nullptr);
  }
  timespec delay_;
  std::array<std::atomic<long>, kKinds> counts_{};
};

}  // namespace vexa::bench
