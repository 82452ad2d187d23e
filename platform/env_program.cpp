// Env::RunProgram: a program of this computer run with a bounded time, for the
// questions only another program answers (the Samba configuration).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/env.h"

namespace vexa::platform {
namespace {

constexpr size_t kMostOutput = 1u << 20;
constexpr int kCannotRun = 127;  // the shell's status for a program not found

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -errno;
  return status;
}

}  // namespace

int Env::RunProgram(const std::vector<std::string>& argv, int timeoutMs, std::string& output) {
  output.clear();
  if (argv.empty()) return -EINVAL;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) < 0) return -errno;
  const pid_t pid = fork();
  if (pid < 0) {
    const int error = errno;
    close(pipeFds[0]);
    close(pipeFds[1]);
    return -error;
  }
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0 || dup2(null, STDIN_FILENO) < 0 || dup2(pipeFds[1], STDOUT_FILENO) < 0 ||
        dup2(null, STDERR_FILENO) < 0)
      _exit(kCannotRun);
    execvp(args[0], args.data());
    _exit(kCannotRun);
  }
  close(pipeFds[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool timedOut = false;
  char chunk[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd watched{pipeFds[0], POLLIN, 0};
    const int ready = poll(&watched, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    const ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the program closed its output
    if (output.size() < kMostOutput)
      output.append(chunk, std::min(static_cast<size_t>(n), kMostOutput - output.size()));
  }
  close(pipeFds[0]);
  // A program that closed its output but goes on running is ended at the deadline too.
  if (!timedOut) {
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
      poll(nullptr, 0, 10);
    if (done == pid) {
      if (!WIFEXITED(status)) return -ECHILD;
      return WEXITSTATUS(status) == kCannotRun ? -ENOENT : WEXITSTATUS(status);
    }
    timedOut = true;
  }
  kill(pid, SIGKILL);
  WaitFor(pid);
  return -ETIMEDOUT;
}

}  // namespace vexa::platform
