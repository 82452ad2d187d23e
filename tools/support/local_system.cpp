#include "tools/support/local_system.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/env.h"
#include "platform/sysinfo.h"

namespace vexa {

using platform::CurrentEnv;

std::string LoginName() {
  return CurrentEnv().UserName();
}

std::string UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return data;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return "";
}

int ListFolder(const std::string& folder, std::vector<std::string>& names) {
  std::vector<platform::DirEntry> entries;
  const int rc = CurrentEnv().ListDir(folder, entries);
  for (platform::DirEntry& entry : entries) names.push_back(std::move(entry.name));
  return rc;
}

std::string ReadSmallFile(const std::string& path) {
  return CurrentEnv().ReadSystemFile(path);
}

std::string ReadOnlyFileSystemText(const std::string& path) {
  unsigned long flags = 0;
  if (CurrentEnv().FileSystemFlags(path, flags) != 0 || !(flags & ST_RDONLY)) return "";
  return platform::SystemErrorText(EROFS);
}

bool FileIdentity(const std::string& path, uint64_t& device, uint64_t& inode) {
  struct stat st;
  if (CurrentEnv().Stat(path, st) < 0) return false;
  device = st.st_dev;
  inode = st.st_ino;
  return true;
}

std::string WorkingFolder() {
  std::string path(4096, '\0');
  while (getcwd(path.data(), path.size()) == nullptr) {
    if (errno != ERANGE || path.size() >= (1u << 20)) return "";
    path.resize(path.size() * 2);
  }
  path.resize(path.find('\0'));
  // Linux marks a working folder outside the process's root "(unreachable)".
  return path.empty() || path[0] != '/' ? "" : path;
}

bool IsFolderNotLink(const std::string& path) {
  struct stat st;
  return CurrentEnv().Lstat(path, st) == 0 && S_ISDIR(st.st_mode);
}

long ThisProcessId() {
  return platform::ProcessId();
}

bool OutputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}

namespace {

sigset_t EndSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

void HoldEndSignals() {
  const sigset_t signals = EndSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForEndOfInput(const std::function<void()>& onTick, int tickMilliseconds) {
  const sigset_t signals = EndSignals();
  const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
  pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {signalFd, POLLIN, 0}};
  char discard[256];
  for (;;) {
    const int ready = poll(watched, signalFd >= 0 ? 2 : 1, onTick ? tickMilliseconds : -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) {
      onTick();
      continue;
    }
    if (watched[1].revents != 0) break;
    if (watched[0].revents & POLLNVAL) break;  // no standard input at all
    if (watched[0].revents != 0) {
      const ssize_t n = CurrentEnv().Read(STDIN_FILENO, discard, sizeof discard);
      if (n == 0 || (n < 0 && n != -EINTR && n != -EAGAIN)) break;
    }
  }
  if (signalFd >= 0) CurrentEnv().Close(signalFd);
}

bool WaitForEndSignal(int milliseconds) {
  const sigset_t signals = EndSignals();
  const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
  pollfd watched = {signalFd, POLLIN, 0};
  // Without a signal descriptor the wait is only a pause.
  const int ready = poll(signalFd >= 0 ? &watched : nullptr, signalFd >= 0 ? 1 : 0, milliseconds);
  if (signalFd >= 0) CurrentEnv().Close(signalFd);
  return ready > 0;
}

}  // namespace vexa
