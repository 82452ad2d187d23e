// Lock files (CADAPP.LOC, FOLnnn.LOC, LOCK.TMP) that nobody has open: left
// behind by processes that ended without cleaning up. Every handle of the
// library holds a shared lock on the sentinel byte, and clients that know
// nothing of it (Windows clients) show by their byte locks, so a file of which
// nobody locks any byte has no user we can see. Such a file holds no lock and
// would simply be reused; the fix deletes it through the last-user protocol,
// and only when it holds nothing but zeros, as every lock file does. A store
// that keeps its lock files (the KEEPLOCKS marker) has none to report.
#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "check/storecheck_parts.h"
#include "lock/lock_file.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "vexafol/file.h"
#include "vexafol/store_layout.h"

namespace vexa::check {
namespace {

constexpr size_t kLongestLockFile = kDrawingLockFileLength;

enum class Use { InUse, Unused, Unknown };

struct LockFileState {
  Use use = Use::Unknown;
  bool onlyZeros = false;
};

LockFileState Inspect(const std::string& path) {
  LockFileState state;
  platform::Env& env = platform::CurrentEnv();
  const int fd = env.Open(path, O_RDONLY | O_NONBLOCK, 0);
  if (fd < 0) return state;
  struct flock query {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  query.l_start = 0;
  query.l_len = 0;  // every byte: the sentinel and any client's lock
  if (env.Lock(fd, F_OFD_GETLK, query) == 0)
    state.use = query.l_type == F_UNLCK ? Use::Unused : Use::InUse;
  char bytes[kLongestLockFile + 1];
  const ssize_t count = env.PRead(fd, bytes, sizeof bytes, 0);
  state.onlyZeros = count >= 0 && static_cast<size_t>(count) <= kLongestLockFile &&
                    std::all_of(bytes, bytes + count, [](char c) { return c == 0; });
  env.Close(fd);
  return state;
}

// Deletes path if this process turns out to be its last user.
bool RemoveUnused(const std::string& path) {
  File file;
  if (!file.Open(path, File::Mode::ReadWrite)) return false;
  file.CloseAndRemove();
  struct stat st;
  return platform::CurrentEnv().Stat(path, st) == -ENOENT;
}

}  // namespace

void CheckLockFiles(const StoreTree& tree, bool fix, StoreCheckReport& report) {
  for (const StoreEntry& entry : tree.entries) {
    if (!S_ISREG(entry.st.st_mode) || !IsLockFileName(entry.name)) continue;
    if (lock::LockFilesStay(entry.path)) continue;  // kept on purpose
    const LockFileState state = Inspect(entry.path);
    if (state.use != Use::Unused) continue;
    const bool recycle = platform::EqualsNoCase(entry.name, kRecycleLockFileName);
    StoreFinding finding{
        "leftover", entry.path, "a lock file that nobody has open: left by a process that is gone",
        recycle ? "a deletion to the recycle folder ended without removing its lock; "
                  "it holds no lock and the next deletion reuses it"
                : "it holds no lock and the next user reuses it; it only shows that "
                  "a process ended without cleaning up",
        "vexafol check --fix removes it"};
    if (!state.onlyZeros) {
      finding.problem += ", but it holds data that no lock protocol wrote";
      finding.action = "look at what wrote into it and remove it by hand";
    } else if (entry.behindLink) {
      finding.action =
          "it lies behind a symbolic link: vexafol check --fix changes nothing "
          "through a link; remove it by hand where it lies";
    } else if (fix) {
      finding.fixed = RemoveUnused(entry.path);
    }
    report.Add(finding);
  }
}

}  // namespace vexa::check
