// Forked helper processes for tests of locks between processes: the child runs
// a function and leaves with its result as exit code; pipes step both sides.
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

class ChildProcess {
 public:
  // Runs body in a forked process; its result becomes the exit code.
  explicit ChildProcess(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) _exit(body());
  }
  ~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Exit code, or 128 + signal number when it was killed.
  int Wait() {
    if (reaped_) return status_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  void Kill() { kill(pid_, SIGKILL); }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

}  // namespace vexa::test
