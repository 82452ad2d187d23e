// vexafol wait: returns when a drawing (or one of its pages) is free, asking
// as any other user asks, every second; on a terminal it says who holds it
// while it waits.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/holder_text.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "tools/support/local_system.h"
#include "vexafol/file.h"
#include "vexafol/filetime.h"
#include "vexafol/folderlock.h"
#include "vexafol/lock_holder.h"

namespace vexa::tool {
namespace {

// Gentle on a share: one test (a handful of lock queries) per second.
constexpr int kPollMilliseconds = 1000;
constexpr long kLongestTimeout = 7 * 24 * 3600;

}  // namespace

int RunWait(Args& args) {
  HoldEndSignals();  // Ctrl-C ends the wait like a timeout
  LockTarget target;
  if (const int status = target.Load(args, "wait")) return status;
  const std::optional<long> page = args.Number("page");
  const std::optional<long> timeout = args.Number("timeout");
  if (!args.ok()) return UsageError(args.error());
  if (page && (*page < 0 || *page >= static_cast<long>(File::kLockLimit)))
    return UsageError("--page: '" + std::to_string(*page) + "' is not a page number");
  if (timeout && (*timeout < 0 || *timeout > kLongestTimeout))
    return UsageError("--timeout: seconds from 0 to " + std::to_string(kLongestTimeout));

  const bool talk = OutputIsTerminal();
  const int64_t start = FileTimeToUnix(CurrentFileTime());
  std::string shown;
  for (;;) {
    // A service of its own for each look: it holds nothing and keeps no file
    // open between looks, so it never stands in anybody's way.
    VexaFolderLock locks(&target.env());
    const bool held = page ? locks.IsLockPage(target.c_path(), static_cast<int>(*page)) != 0
                           : locks.IsLockZmn(target.c_path()) != 0;
    if (!held) {
      if (talk) std::printf("free: %s\n", Printable(target.path()).c_str());
      return 0;
    }
    const int64_t now = FileTimeToUnix(CurrentFileTime());
    if (talk) {
      const LockHolder holder =
          page ? GetPageLockHolder(target.env(), target.path(), static_cast<int>(*page))
               : GetInUseHolder(target.env(), target.path());
      const std::string line = holder.held ? HolderLine(holder, now) : "in use";
      if (line != shown) {
        std::printf("waiting: %s\n", line.c_str());
        std::fflush(stdout);
        shown = line;
      }
    }
    if (timeout && now - start >= *timeout) return kExitFailure;
    if (WaitForEndSignal(kPollMilliseconds)) return kExitFailure;
  }
}

}  // namespace vexa::tool
