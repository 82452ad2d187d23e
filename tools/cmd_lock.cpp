// vexafol lock: takes a drawing lock and/or page locks as a user of the store
// and holds them until standard input ends or the process is interrupted, so
// that two terminals (or a test script) can play two users.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "tools/command.h"
#include "tools/lock_file_check.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "vexafol/folderlock.h"

namespace vexa::tool {
namespace {

// The signals that end the hold. They are blocked from the start, so one that
// arrives while the locks are being taken is not lost and still ends the hold
// through the normal release (which deletes the lock files nobody else uses).
sigset_t EndSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// Waits until standard input reaches its end (or cannot be read) or one of
// the end signals arrives. Input lines are read and ignored.
void WaitForRelease(const sigset_t& signals) {
  const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
  pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {signalFd, POLLIN, 0}};
  char discard[256];
  for (;;) {
    if (poll(watched, signalFd >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (watched[1].revents != 0) break;
    if (watched[0].revents & POLLNVAL) break;  // no standard input at all
    if (watched[0].revents != 0) {
      const ssize_t n = read(STDIN_FILENO, discard, sizeof discard);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) break;
    }
  }
  if (signalFd >= 0) close(signalFd);
}

constexpr const char* kNotLockable = "the path names no drawing the lock files can stand for";

void Report(const std::string& what, bool granted, const std::string& where,
            const std::string& refusedBecause) {
  std::printf("%-14s %s  (%s%s%s)\n", what.c_str(), granted ? "granted" : "refused",
              Printable(where).c_str(), granted ? "" : "; ",
              granted ? "" : Printable(refusedBecause).c_str());
}

// A lock file that cannot be opened refuses every lock; the first such problem.
std::string LockFilesProblem(const LockTarget& target, Missing pageLockFile) {
  const std::string problem = LockFileProblem(target.drawingLockFile(), Missing::Create);
  return problem.empty() ? LockFileProblem(target.pageLockFile(), pageLockFile) : problem;
}

// Why a drawing lock was refused, as far as can be seen from outside.
std::string DrawingRefusal(VexaFolderLock& locks, const LockTarget& target) {
  if (!target.Lockable()) return kNotLockable;
  if (std::string problem = LockFilesProblem(target, Missing::Skip); !problem.empty())
    return problem;
  return locks.IsExistLockPage(target.c_path()) ? "another user has one of its pages 0-499"
                                                : "somebody holds the drawing";
}

std::string PageRefusal(const LockTarget& target) {
  if (!target.Lockable()) return kNotLockable;
  const std::string problem = LockFilesProblem(target, Missing::Create);
  return problem.empty() ? "somebody holds the page" : problem;
}

}  // namespace

int RunLock(Args& args) {
  const sigset_t signals = EndSignals();
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  LockTarget target;
  if (const int status = target.Load(args, "lock")) return status;
  std::vector<int> pages;
  std::string error;
  if (!PageOptions(args, pages, error)) return UsageError(error);
  const bool wantDrawing = pages.empty() || args.Has("zmn");

  VexaFolderLock locks(&target.env());
  int granted = 0;
  int refused = 0;
  const std::string drawingFile = FileNameOf(target.drawingLockFile());
  const std::string pageFile = FileNameOf(target.pageLockFile());
  if (wantDrawing) {
    const bool got = locks.LockZmn(target.c_path()) == 1;
    const std::string why = got ? "" : DrawingRefusal(locks, target);
    Report("LockZmn", got, "byte " + std::to_string(target.folderNo()) + " of " + drawingFile, why);
    (got ? granted : refused)++;
  }
  for (const int page : pages) {
    const bool got = locks.LockPage(target.c_path(), page) == 1;
    Report("LockPage " + std::to_string(page), got,
           "byte " + std::to_string(page) + " of " + pageFile, got ? "" : PageRefusal(target));
    (got ? granted : refused)++;
  }
  if (granted > 0) {
    std::printf("holding %d lock%s of %s until standard input ends (Ctrl-D) or Ctrl-C\n", granted,
                granted == 1 ? "" : "s", Printable(target.path()).c_str());
    std::fflush(stdout);
    WaitForRelease(signals);
    locks.UnLockAll();
    std::printf("released\n");
  }
  return refused > 0 ? 1 : 0;
}

}  // namespace vexa::tool
