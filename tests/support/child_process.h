// Forked helper processes for tests of locks between processes: a child runs a
// function and leaves with its result as exit code; pipes step both sides.
// Header-only, so that test targets without the support library can use it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace vexa::test {

// A one-way step signal between processes (one byte per step).
class Signal {
 public:
  Signal() {
    if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
  }
  ~Signal() {
    for (int fd : fds_)
      if (fd >= 0) close(fd);
  }
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  void Give() {
    const char step = 1;
    [[maybe_unused]] ssize_t n = write(fds_[1], &step, 1);
  }
  // Waits for the next step; false when the other side ended without giving it.
  bool Take() {
    char step;
    return read(fds_[0], &step, 1) == 1;
  }
  // Closes the writing end that this process does not use, so that Take sees
  // the end of the other process.
  void CloseGiving() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
  }

 private:
  int fds_[2];
};

// Runs body in a forked process; its result becomes the exit code. A child
// still running when the object goes is killed and reaped.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) _exit(body());
  }
  ~ChildProcess() {
    Kill();
    Wait();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Exit code, or 128 + signal number when it was killed; -1 without a child.
  int Wait() {
    if (pid_ <= 0 || reaped_) return status_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  void Kill() {
    if (pid_ > 0 && !reaped_) kill(pid_, SIGKILL);
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

// A child that takes something (locks, open files) and holds it until Release:
// the constructor returns once take has answered in the child. After Release
// the child runs then (if given) and leaves with its result, else with 0.
class HoldingChild {
 public:
  explicit HoldingChild(const std::function<bool()>& take, const std::function<int()>& then = {})
      : child_([&] {
          release_.CloseGiving();
          if (!take()) return 1;
          ready_.Give();
          release_.Take();
          return then ? then() : 0;
        }) {
    ready_.CloseGiving();
    holding_ = ready_.Take();
  }
  ~HoldingChild() { Release(); }

  bool holding() const { return holding_; }
  pid_t pid() const { return child_.pid(); }
  // Lets the child go on and returns its exit code (1 when take failed).
  int Release() {
    release_.Give();
    return child_.Wait();
  }
  // Ends the child by SIGKILL; returns 128 + SIGKILL.
  int Kill() {
    child_.Kill();
    return child_.Wait();
  }

 private:
  Signal ready_, release_;
  ChildProcess child_;
  bool holding_ = false;
};

}  // namespace vexa::test
