// A soak of one shared store: N processes (default 8), taking turns between two
// Unix users of one group when run as root, work for a given time (default
// 60 s) in one store folder of mode 2770: random `vexafol new`, drawing and
// page locks held for a while and released, probes, folder-list loads,
// UnLockAll, deletes to the recycle folder and restores out of it. The soak
// lets one process at a time delete or restore, so that it knows which drawing
// a deletion pushed out of slot 10; the recycle folder's own lock still meets
// every other process's drawing and page locks, loads and `new`s.
//
// Invariants, checked all the time through counters in shared memory:
// - never two holders of one byte: a process that is granted a drawing or page
//   lock adds one to that byte's counter (after the grant) and takes it away
//   again (before the release), so a counter found above zero by a new holder
//   means somebody else held the byte at the same moment;
// - a process's own locks read as locked to its own probes;
// - a folder-list load shows at least the drawings that were in place when it
//   began and that no deletion begun before its end took away, and no title
//   twice;
// - after every deletion the recycle slots are 1..k without gaps, the deleted
//   drawing in slot 1.
// And at the end, after one last deletion, by a full scan: every drawing ever
// made is in its folder or in exactly one recycle container, or was pushed out
// of slot 10 by a counted deletion; the slots are 1..k without gaps; and no
// lock file is left behind.
//
// Usage: shared_store_soak [--procs N] [--seconds S]
#include <grp.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/recycle.h"
#include "vexafol/restore.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

constexpr int kApps[] = {0x1, 0x4};
constexpr int kAppCount = 2;
constexpr int kPages = 8;
constexpr int kMaxProcs = 64;
constexpr long kDrawingsPerApp = 600;  // well below 999: `new` never runs out of numbers
constexpr long kMaxSerial = kDrawingsPerApp * kAppCount;  // `new`s of one process at most

enum Op {
  kNew,
  kLockZmn,
  kLockZmnRefused,
  kLockPage,
  kLockPageRefused,
  kUnlock,
  kProbe,
  kLoad,
  kUnlockAll,
  kDelete,
  kDeleteRefused,
  kRestore,
  kRestoreRefused,
  kPushedOut,
  kOpCount
};
const char* const kOpNames[] = {"new",
                                "drawing locks granted",
                                "drawing locks refused",
                                "page locks granted",
                                "page locks refused",
                                "unlocks",
                                "probes",
                                "folder-list loads",
                                "unlock-alls",
                                "deletes",
                                "deletes refused",
                                "restores",
                                "restores refused",
                                "pushed out of slot 10"};

struct Shared {
  std::atomic<int> drawingHolders[kAppCount][1000];
  std::atomic<int> pageHolders[kAppCount][1000][kPages];
  std::atomic<long> made[kAppCount];      // finished `new`s per application
  std::atomic<long> restored[kAppCount];  // finished restores per application
  std::atomic<long> deleting[kAppCount];  // deletions begun, less those that failed
  std::atomic<bool> pushedOut[kMaxProcs][kMaxSerial];
  std::atomic<bool> recycleBusy;        // one process deletes or restores at a time
  std::atomic<long> madeBy[kMaxProcs];  // finished `new`s per process
  std::atomic<long> ops[kOpCount];
  std::atomic<long> violations;
};

Shared* g_shared = nullptr;

void Violation(const char* format, const std::string& what) {
  if (g_shared->violations.fetch_add(1) < 20) std::fprintf(stderr, format, what.c_str());
}

std::string Title(int proc, long serial) {
  return "soak-" + std::to_string(proc) + "-" + std::to_string(serial);
}

// The process and serial number a soak title names; false for other titles.
bool ParseTitle(const std::string& title, int& proc, long& serial) {
  return std::sscanf(title.c_str(), "soak-%d-%ld", &proc, &serial) == 2 && proc >= 0 &&
         proc < kMaxProcs && serial >= 0 && serial < kMaxSerial;
}

int AppIndex(int appId) {
  for (int a = 0; a < kAppCount; ++a)
    if (kApps[a] == appId) return a;
  return -1;
}

// Slots 1..k, k at most ten.
void CheckNoGaps(const std::vector<RecycleSlot>& slots) {
  for (size_t i = 0; i < slots.size(); ++i)
    if (slots[i].slot != static_cast<int>(i) + 1 || i >= kRecycleSlots)
      return Violation("the recycle slots have a gap or more than ten: %s\n", slots[i].container);
}

std::string DrawingPath(const std::string& appFolder, int n) {
  char name[16];
  std::snprintf(name, sizeof name, "/Fol.%03d", n % 1000);
  return appFolder + name;
}

// Runs `vexafol new` for one drawing; true when it made it.
bool NewDrawing(const std::string& store, int app, const std::string& title) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    const std::string appText = std::to_string(app);
    execl(VEXAFOL_TOOL, VEXAFOL_TOOL, "new", "--store", store.c_str(), "--app", appText.c_str(),
          "--title", title.c_str(), "--pages", "2", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One user of the store: a host with its own lock service.
class Worker {
 public:
  Worker(const std::string& store, int proc)
      : store_(store), proc_(proc), env_(store), lock_(&env_), random_(proc * 7919 + 1) {
    for (int a = 0; a < kAppCount; ++a) appFolders_[a] = GetSenyouPath(env_, kApps[a]);
  }

  void Run(std::chrono::steady_clock::time_point end) {
    while (std::chrono::steady_clock::now() < end) Step();
    ReleaseAll();
  }

  // Deletes the first drawing in place; false when there is none.
  bool DeleteFirst() {
    for (int a = 0; a < kAppCount; ++a)
      for (int n = 1; n < 1000; ++n)
        if (DeleteDrawing(a, n, DrawingPath(appFolders_[a], n))) return true;
    return false;
  }

 private:
  int Pick(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }
  void Count(Op op) { g_shared->ops[op].fetch_add(1); }

  void Step() {
    const int a = Pick(kAppCount);
    const long made = g_shared->made[a].load();
    const int n = 1 + Pick(static_cast<int>(std::min(made + 3, 999L)));
    const std::string path = DrawingPath(appFolders_[a], n);
    const int roll = Pick(100);
    if (roll < 3) return MakeDrawing(a);
    if (roll < 5) return WithRecycle([&] { DeleteDrawing(a, n, path); });
    if (roll < 6) return WithRecycle([&] { RestoreDrawing(); });
    if (roll < 28) return LockDrawing(a, n, path);
    if (roll < 48) return LockPage(a, n, Pick(kPages), path);
    if (roll < 68) return UnlockSomething();
    if (roll < 88) return Probe(a, n, path);
    if (roll < 98) return Load(a);
    ReleaseAll();
    Count(kUnlockAll);
  }

  void MakeDrawing(int a) {
    if (g_shared->made[a].load() >= kDrawingsPerApp) return;
    const long serial = g_shared->madeBy[proc_].load();
    if (!NewDrawing(store_, kApps[a], Title(proc_, serial))) {
      Violation("vexafol new failed for %s\n", Title(proc_, serial));
      return;
    }
    g_shared->madeBy[proc_].fetch_add(1);
    g_shared->made[a].fetch_add(1);
    Count(kNew);
  }

  void LockDrawing(int a, int n, const std::string& path) {
    const bool mine = drawings_.count({a, n}) > 0;
    if (!lock_.LockZmn(path.c_str())) return Count(kLockZmnRefused);
    if (mine) return Violation("a drawing lock was granted twice to its holder: %s\n", path);
    if (g_shared->drawingHolders[a][n].fetch_add(1) != 0)
      Violation("two holders of the drawing lock of %s\n", path);
    drawings_.insert({a, n});
    Count(kLockZmn);
  }

  void LockPage(int a, int n, int page, const std::string& path) {
    const bool mine = pages_.count({a, n, page}) > 0;
    if (!lock_.LockPage(path.c_str(), page)) return Count(kLockPageRefused);
    if (mine) return Violation("a page lock was granted twice to its holder: %s\n", path);
    if (g_shared->pageHolders[a][n][page].fetch_add(1) != 0)
      Violation("two holders of a page lock of %s\n", path + " page " + std::to_string(page));
    pages_.insert({a, n, page});
    Count(kLockPage);
  }

  // UnLockZmn also drops this service's page locks of the drawing.
  void DropDrawing(int a, int n) {
    for (auto it = pages_.begin(); it != pages_.end();) {
      const auto [pa, pn, page] = *it;
      if (pa == a && pn == n) {
        g_shared->pageHolders[a][n][page].fetch_sub(1);
        it = pages_.erase(it);
      } else {
        ++it;
      }
    }
    g_shared->drawingHolders[a][n].fetch_sub(1);
    drawings_.erase({a, n});
    lock_.UnLockZmn(DrawingPath(appFolders_[a], n).c_str());
  }

  void UnlockSomething() {
    if (!drawings_.empty() && (pages_.empty() || Pick(2))) {
      auto it = drawings_.begin();
      std::advance(it, Pick(static_cast<int>(drawings_.size())));
      DropDrawing(it->first, it->second);
    } else if (!pages_.empty()) {
      auto it = pages_.begin();
      std::advance(it, Pick(static_cast<int>(pages_.size())));
      const auto [a, n, page] = *it;
      g_shared->pageHolders[a][n][page].fetch_sub(1);
      pages_.erase(it);
      lock_.UnLockPage(DrawingPath(appFolders_[a], n).c_str(), page);
    } else {
      return;
    }
    Count(kUnlock);
  }

  void Probe(int a, int n, const std::string& path) {
    const int page = Pick(kPages);
    const int drawingLocked = lock_.IsLockZmn(path.c_str());
    const int pageLocked = lock_.IsLockPage(path.c_str(), page);
    lock_.IsExistLockPage(path.c_str());
    if (drawings_.count({a, n}) && drawingLocked != 1)
      Violation("a held drawing lock reads as free to its holder: %s\n", path);
    if (pages_.count({a, n, page}) && pageLocked != 1)
      Violation("a held page lock reads as free to its holder: %s\n", path);
    Count(kProbe);
  }

  template <typename Operation>
  void WithRecycle(Operation operation) {
    if (g_shared->recycleBusy.exchange(true)) return;
    operation();
    g_shared->recycleBusy.store(false);
  }

  bool HoldsAnything(int a, int n) const {
    if (drawings_.count({a, n})) return true;
    for (const auto& [pa, pn, page] : pages_)
      if (pa == a && pn == n) return true;
    return false;
  }

  // Deletes a drawing this process holds nothing of. The slots before and
  // after tell which drawing, if any, the deletion pushed out of slot 10.
  bool DeleteDrawing(int a, int n, const std::string& path) {
    if (HoldsAnything(a, n)) return false;
    FolMember member;
    member.path = path;
    member.appId = kApps[a];
    {
      File index;
      if (!index.Open(path + "/INDEX.VXF", File::Mode::ReadOnly) ||
          !ReadHeadFile(index, member.header))
        return false;  // no drawing under this number now
    }
    const std::vector<RecycleSlot> before = ListRecycleSlots(env_);
    g_shared->deleting[a].fetch_add(1);
    std::string error;
    const bool moved = MoveToRecycle(env_, member, error);
    if (!moved) g_shared->deleting[a].fetch_sub(1);
    const std::vector<RecycleSlot> after = ListRecycleSlots(env_);
    CountPushedOut(before, after);
    if (!moved) {
      Count(kDeleteRefused);
      return false;
    }
    Count(kDelete);
    if (after.empty() || after[0].slot != 1 || after[0].title != member.header.Title())
      Violation("a deleted drawing is not in slot 1: %s\n", path);
    CheckNoGaps(after);
    return true;
  }

  void CountPushedOut(const std::vector<RecycleSlot>& before,
                      const std::vector<RecycleSlot>& after) {
    for (const RecycleSlot& was : before) {
      bool kept = false;
      for (const RecycleSlot& is : after) kept = kept || is.title == was.title;
      if (kept) continue;
      int proc = 0;
      long serial = 0;
      if (was.slot != kRecycleSlots || before.size() != kRecycleSlots ||
          !ParseTitle(was.title, proc, serial) || g_shared->pushedOut[proc][serial].exchange(true))
        Violation("a deletion took %s out of the recycle folder\n", was.container);
      Count(kPushedOut);
    }
  }

  void RestoreDrawing() {
    const std::vector<RecycleSlot> slots = ListRecycleSlots(env_);
    if (slots.empty()) return;
    const RecycleSlot& slot = slots[Pick(static_cast<int>(slots.size()))];
    std::string error;
    if (RestoreRecycled(env_, slot.drawing, error).empty()) return Count(kRestoreRefused);
    if (const int a = AppIndex(slot.appId); a >= 0) g_shared->restored[a].fetch_add(1);
    Count(kRestore);
  }

  void Load(int a) {
    const long before = g_shared->made[a].load() + g_shared->restored[a].load();
    VexaFolderList list(env_);
    list.Load(kApps[a], 0);
    std::set<std::string> titles;
    for (int i = 0; i < list.GetFolderNum(); ++i) {
      const std::string title = list.GetFolderMember(i)->header.Title();
      if (!title.empty() && !titles.insert(title).second)
        Violation("a folder-list load shows %s twice\n", title);
    }
    if (list.GetFolderNum() < before - g_shared->deleting[a].load())
      Violation("a folder-list load lost drawings of %s\n", appFolders_[a]);
    Count(kLoad);
  }

  void ReleaseAll() {
    while (!drawings_.empty()) DropDrawing(drawings_.begin()->first, drawings_.begin()->second);
    for (const auto& [a, n, page] : pages_) g_shared->pageHolders[a][n][page].fetch_sub(1);
    pages_.clear();
    lock_.UnLockAll();
  }

  std::string store_;
  int proc_;
  FolderEnvironObj env_;
  VexaFolderLock lock_;
  std::mt19937 random_;
  std::string appFolders_[kAppCount];
  std::set<std::pair<int, int>> drawings_;
  std::set<std::tuple<int, int, int>> pages_;
};

// The scan after every process ended.
void FinalScan(const std::string& store, int procs) {
  const FolderEnvironObj env(store);
  std::map<std::string, int> titles;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(store)) {
    const std::string name = entry.path().filename();
    if (name == "CADAPP.LOC" || name == "LOCK.TMP" ||
        (name.size() == 10 && name.compare(0, 3, "FOL") == 0 && name.ends_with(".LOC")))
      Violation("lock file left behind: %s\n", entry.path().string());
    if (!entry.is_directory() || name.compare(0, 4, "Fol.") != 0) continue;
    File index;
    VexaFileHeader header;
    if (!index.Open(entry.path().string() + "/INDEX.VXF", File::Mode::ReadOnly) ||
        !ReadHeadFile(index, header)) {
      Violation("a drawing folder without its index file: %s\n", entry.path().string());
      continue;
    }
    ++titles[header.Title()];
  }
  long expected = 0;
  for (int proc = 0; proc < procs; ++proc) {
    for (long serial = 0; serial < g_shared->madeBy[proc].load(); ++serial) {
      const auto found = titles.find(Title(proc, serial));
      const int copies = found == titles.end() ? 0 : found->second;
      const int wanted = g_shared->pushedOut[proc][serial].load() ? 0 : 1;
      expected += wanted;
      if (copies != wanted)
        Violation("drawing %s\n",
                  Title(proc, serial) + (copies > wanted ? " is there again" : " is lost"));
    }
  }
  CheckNoGaps(ListRecycleSlots(env));
  if (static_cast<long>(titles.size()) != expected)
    Violation("%s\n", "drawings nobody made are in the store");
}

struct User {
  uid_t uid = 0;
  gid_t gid = 0;
};

User UnusedUser(uid_t from, gid_t gid) {
  while (getpwuid(from)) ++from;
  return {from, gid};
}

bool Become(const User& user) {
  if (setgroups(1, &user.gid) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0) return false;
  umask(022);
  return true;
}

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  using namespace vexa;
  int procs = 8;
  int seconds = 60;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--procs") == 0) procs = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atoi(argv[i + 1]);
  }
  if (procs < 1 || procs > kMaxProcs || seconds < 1) {
    std::fprintf(stderr, "usage: shared_store_soak [--procs 1-%d] [--seconds S]\n", kMaxProcs);
    return 2;
  }
  void* memory =
      mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return 1;
  g_shared = new (memory) Shared{};

  char pattern[] = "/tmp/vexafol-soak-XXXXXX";
  const char* base = mkdtemp(pattern);
  if (!base) return 1;
  const std::string store = std::string(base) + "/store";
  const bool root = geteuid() == 0;
  gid_t group = getegid();
  if (root) {
    group = 47100;
    while (getgrgid(group)) ++group;
  }
  const User users[2] = {
      root ? UnusedUser(47100, group) : User{geteuid(), group},
      root ? UnusedUser(UnusedUser(47100, group).uid + 1, group) : User{geteuid(), group}};
  chmod(base, 0711);
  mkdir(store.c_str(), 0700);
  if (chown(store.c_str(), static_cast<uid_t>(-1), group) != 0 || chmod(store.c_str(), 02770) != 0)
    return 1;
  if (root)
    std::printf("%d processes as uids %u and %u (group %u) for %d s in %s\n", procs, users[0].uid,
                users[1].uid, group, seconds, store.c_str());
  else
    std::printf("%d processes of this user for %d s in %s (run as root for two users)\n", procs,
                seconds, store.c_str());
  std::fflush(stdout);

  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  std::vector<pid_t> children;
  for (int proc = 0; proc < procs; ++proc) {
    const pid_t pid = fork();
    if (pid == 0) {
      if (root && !Become(users[proc % 2])) _exit(126);
      Worker(store, proc).Run(end);
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      Violation("a worker process ended badly: %s\n", std::to_string(status));
  }
  // One last deletion closes the gaps that restores left.
  const pid_t last = fork();
  if (last == 0) _exit((root && !Become(users[0])) || !Worker(store, 0).DeleteFirst() ? 1 : 0);
  int lastStatus = 0;
  while (waitpid(last, &lastStatus, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(lastStatus) || WEXITSTATUS(lastStatus) != 0)
    Violation("%s\n", "the last deletion failed");
  FinalScan(store, procs);

  long drawings = 0;
  for (int a = 0; a < kAppCount; ++a) drawings += g_shared->made[a].load();
  std::printf("operations:\n");
  for (int op = 0; op < kOpCount; ++op)
    std::printf("  %-22s %ld\n", kOpNames[op], g_shared->ops[op].load());
  std::printf("drawings made: %ld\n", drawings);
  const long violations = g_shared->violations.load();
  std::printf("violations: %ld\n", violations);
  std::error_code ignored;
  fs::remove_all(base, ignored);
  return violations == 0 ? 0 : 1;
}
