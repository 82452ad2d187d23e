// vexafol lock: takes a drawing lock and/or page locks as a user of the store
// and holds them until standard input ends or the process is interrupted, so
// that two terminals (or a test script) can play two users.
#include <cstdio>
#include <vector>

#include "tools/command.h"
#include "tools/lock_file_check.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "tools/support/local_system.h"
#include "vexafol/folderlock.h"

namespace vexa::tool {
namespace {

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
  // Held from the start: a signal that arrives while the locks are being taken
  // still ends the hold through the normal release (which deletes the lock
  // files nobody else uses).
  HoldEndSignals();
  LockTarget target;
  if (const int status = target.Load(args, "lock")) return status;
  std::vector<int> pages;
  std::string error;
  if (!PageOptions(args, pages, error)) return UsageError(error);
  const bool wantDrawing = pages.empty() || args.Has("zmn");

  VexaFolderLock locks(&target.env());
  int granted = 0;
  int refused = 0;
  bool drawingHeld = false;
  std::vector<int> pagesHeld;
  const std::string drawingFile = FileNameOf(target.drawingLockFile());
  const std::string pageFile = FileNameOf(target.pageLockFile());
  if (wantDrawing) {
    const bool got = locks.LockZmn(target.c_path()) == 1;
    drawingHeld = got;
    const std::string why = got ? "" : DrawingRefusal(locks, target);
    Report("LockZmn", got, "byte " + std::to_string(target.folderNo()) + " of " + drawingFile, why);
    (got ? granted : refused)++;
  }
  for (const int page : pages) {
    const bool got = locks.LockPage(target.c_path(), page) == 1;
    if (got) pagesHeld.push_back(page);
    Report("LockPage " + std::to_string(page), got,
           "byte " + std::to_string(page) + " of " + pageFile, got ? "" : PageRefusal(target));
    (got ? granted : refused)++;
  }
  if (granted > 0) {
    std::printf("holding %d lock%s of %s until standard input ends (Ctrl-D) or Ctrl-C\n", granted,
                granted == 1 ? "" : "s", Printable(target.path()).c_str());
    std::fflush(stdout);
    // Asking about its own locks every second makes the service notice a lock
    // file that a client without the in-use mark deleted under it, and take its
    // bytes again on the new file before another user can.
    WaitForEndOfInput([&] {
      if (drawingHeld) locks.IsLockZmn(target.c_path());
      for (const int page : pagesHeld) locks.IsLockPage(target.c_path(), page);
    });
    locks.UnLockAll();
    std::printf("released\n");
  }
  return refused > 0 ? 1 : 0;
}

}  // namespace vexa::tool
