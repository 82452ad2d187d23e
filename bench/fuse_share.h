// A store mounted through the delaying FUSE passthrough (bench/delay_fuse)
// while the object lives, for benchmarks built with VEXA_DELAY_FUSE (the path
// of delay_fuse); mounted() is false where that is not possible (not root, no
// /dev/fuse, no mount allowed).
#pragma once

#ifdef VEXA_DELAY_FUSE
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vexa::bench {

class FuseShare {
 public:
  FuseShare(const std::string& source, const std::string& mountPoint, long delayMicroseconds)
      : mountPoint_(mountPoint) {
    if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) return;
    std::filesystem::create_directories(mountPoint);
    const std::string delay = std::to_string(delayMicroseconds);
    pid_ = fork();
    if (pid_ == 0) {
      execl(VEXA_DELAY_FUSE, "delay_fuse", source.c_str(), mountPoint.c_str(), delay.c_str(), "-f",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !mounted_; ++i) {
      usleep(50000);
      std::ifstream mounts("/proc/self/mountinfo");
      for (std::string line; std::getline(mounts, line);)
        mounted_ = mounted_ || line.find(" " + mountPoint + " ") != std::string::npos;
    }
  }
  ~FuseShare() {
    if (mounted_) umount2(mountPoint_.c_str(), 0);
    if (pid_ > 0) {
      if (!mounted_) kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  FuseShare(const FuseShare&) = delete;
  FuseShare& operator=(const FuseShare&) = delete;
  bool mounted() const { return mounted_; }

 private:
  std::string mountPoint_;
  pid_t pid_ = -1;
  bool mounted_ = false;
};

}  // namespace vexa::bench
#endif
