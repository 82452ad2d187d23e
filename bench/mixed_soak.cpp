// A soak of one store shared by Linux users of the library and Windows
// clients of the CAD suite: N Linux processes (default 6), each with its own
// VexaFolderLock, and M Windows clients (default 2; tests/peers/win_lock_peer.c
// run under Wine, its `soak` command) do random drawing locks, page locks,
// probes, unlocks and close-everything (UnLockAll, or CloseHandle and
// DeleteFile as the last user) on drawings 1 to 8 of one application folder
// for a given time (default 60 s).
//
// Every grant is counted in counters that both sides map from one file
// (tests/peers/mixed_soak_counters.h): a holder notes itself, with the inode of
// the lock file it holds the byte in, after a grant and takes the note away
// before the release, so a byte found held by somebody else at a grant is a
// double grant. Two holders in one file mean the locks failed; two holders in
// two files mean a lock file was deleted under one of them (the one whose file
// the name no longer stands for) and made anew: under a Windows holder that is
// the library's doing, under a Linux holder a Windows client's DeleteFile,
// which the library cannot prevent and which the soak reports on its own. After each step a Linux
// user asks the kernel which bytes it still holds in the file the name stands for now
// (/proc/self/fdinfo), and gives up the notes of locks it lost that way.
//
// Usage: mixed_soak [--keep-locks] [--linux N] [--windows M] [--seconds S]
//                   [--peer FILE.exe] [--wine WINE64]
// --keep-locks puts a KEEPLOCKS marker in the store (docs/decisions-locking.md).
// (scripts/wine-peer-check.sh --soak builds the peer, makes a Wine prefix and
// runs this.) Exit status 1 when the library let two users hold one byte.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/peers/mixed_soak_counters.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kApp = 0x1;
constexpr int kDrawings = MIXED_SOAK_DRAWINGS;
constexpr int kPages = MIXED_SOAK_PAGES;

MixedSoakCounters* g_counters = nullptr;

std::string LockFileName(int n) {
  char name[16];
  std::snprintf(name, sizeof name, n == 0 ? "CADAPP.LOC" : "FOL%03d.LOC", n);
  return name;
}

// The descriptor of this process open on path, the file the name stands for
// now or (deleted too) one deleted under it; -1 when none.
int OpenFd(const std::string& path, bool deletedToo) {
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    char target[4096];
    const ssize_t n = readlink(entry.path().c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    const std::string name(target, static_cast<size_t>(n));
    if (name == path || (deletedToo && name == path + " (deleted)"))
      return std::atoi(entry.path().filename().c_str());
  }
  return -1;
}

// The inode of the file this process holds open under path (also when the
// name has been deleted since); -1 when none.
int64_t HeldInode(const std::string& path) {
  struct stat st;
  const int fd = OpenFd(path, true);
  return fd >= 0 && fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_ino) : -1;
}

// The inode of the file path names now; -1 when there is none.
int64_t InodeAt(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_ino) : -1;
}

// Whether this process holds byte n of the lock file that path names now:
// the kernel's own list of the open file's locks ("lock:\t1: OFDLCK ADVISORY
// WRITE -1 fe:01:123 5 5" in /proc/self/fdinfo), so a lock the library lost
// with a file deleted under it no longer counts.
bool HoldsByte(const std::string& path, int n) {
  const int fd = OpenFd(path, false);
  if (fd < 0) return false;
  FILE* info = std::fopen(("/proc/self/fdinfo/" + std::to_string(fd)).c_str(), "r");
  if (!info) return false;
  bool held = false;
  char line[256], access[16];
  long long from = 0, to = 0;
  while (!held && std::fgets(line, sizeof line, info))
    held = std::sscanf(line, "lock: %*s %*s %*s %15s %*s %*s %lld %lld", access, &from, &to) == 3 &&
           std::strcmp(access, "WRITE") == 0 && from <= n && n <= to;
  std::fclose(info);
  return held;
}

// One Linux user: a host with its own lock service.
class LinuxUser {
 public:
  LinuxUser(const std::string& store, int user)
      : env_(store),
        lock_(&env_),
        appFolder_(GetSenyouPath(env_, kApp)),
        user_(user),
        random_(7919u * static_cast<unsigned>(user) + 1u) {}

  void Run(Clock::time_point end) {
    while (!__atomic_load_n(&g_counters->stop, __ATOMIC_SEQ_CST) && Clock::now() < end) {
      Step();
      DropLostLocks();
    }
    CloseAll();
  }

 private:
  int Pick(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }
  void Count(int op) { MixedSoakCount(g_counters, MIXED_SOAK_LINUX, op); }
  std::string Drawing(int n) const {
    char name[16];
    std::snprintf(name, sizeof name, "/Fol.%03d", n);
    return appFolder_ + name;
  }

  void Step() {
    const int n = 1 + Pick(kDrawings);
    const int page = Pick(kPages);
    const int roll = Pick(100);
    if (roll < 25)
      LockDrawing(n);
    else if (roll < 45)
      LockPage(n, page);
    else if (roll < 60)
      Probe(n);
    else if (roll < 90)
      Unlock(n, roll < 75 ? -1 : page);
    else
      CloseAll();
  }

  std::string LockPath(int n) const { return appFolder_ + "/" + LockFileName(n); }

  // Checks every lock this process believes it holds against the lock file the
  // name stands for now. One taken back on a new file (after a Windows client
  // deleted the old one under it) is noted with the new file's inode; one the
  // library could not take back is given up and counted as lost.
  bool StillHeld(MixedSoakByte& byte, const std::string& path, int n) {
    if (HoldsByte(path, n)) {
      __atomic_store_n(&byte.heldIn[user_], (HeldInode(path) << 1) | 1, __ATOMIC_SEQ_CST);
      return true;
    }
    MixedSoakReleasing(&byte, user_);
    __atomic_fetch_add(&g_counters->linuxLocksLost, 1, __ATOMIC_SEQ_CST);
    return false;
  }

  void DropLostLocks() {
    for (auto it = drawings_.begin(); it != drawings_.end();)
      it = StillHeld(g_counters->drawings[*it], LockPath(0), *it) ? std::next(it)
                                                                  : drawings_.erase(it);
    for (auto it = pages_.begin(); it != pages_.end();) {
      const auto [n, page] = *it;
      it = StillHeld(g_counters->pages[n][page], LockPath(n), page) ? std::next(it)
                                                                    : pages_.erase(it);
    }
  }

  void LockDrawing(int n) {
    if (!lock_.LockZmn(Drawing(n).c_str())) return Count(MIXED_SOAK_DRAWING_REFUSED);
    Count(MIXED_SOAK_DRAWING_GRANTED);
    drawings_.insert(n);
    MixedSoakGranted(g_counters, &g_counters->drawings[n], user_, HeldInode(LockPath(0)),
                     InodeAt(LockPath(0)));
  }

  void LockPage(int n, int page) {
    if (!lock_.LockPage(Drawing(n).c_str(), page)) return Count(MIXED_SOAK_PAGE_REFUSED);
    Count(MIXED_SOAK_PAGE_GRANTED);
    pages_.insert({n, page});
    MixedSoakGranted(g_counters, &g_counters->pages[n][page], user_, HeldInode(LockPath(n)),
                     InodeAt(LockPath(n)));
  }

  void Probe(int n) {
    lock_.IsLockZmn(Drawing(n).c_str());
    Count(MIXED_SOAK_PROBE);
  }

  // A drawing unlock also drops this service's page locks of the drawing.
  void Unlock(int n, int page) {
    if (page < 0 && drawings_.erase(n)) {
      for (int p = 0; p < kPages; ++p)
        if (pages_.erase({n, p})) MixedSoakReleasing(&g_counters->pages[n][p], user_);
      MixedSoakReleasing(&g_counters->drawings[n], user_);
      lock_.UnLockZmn(Drawing(n).c_str());
    } else if (page >= 0 && pages_.erase({n, page})) {
      MixedSoakReleasing(&g_counters->pages[n][page], user_);
      lock_.UnLockPage(Drawing(n).c_str(), page);
    } else {
      return;
    }
    Count(MIXED_SOAK_UNLOCK);
  }

  void CloseAll() {
    for (const int n : drawings_) MixedSoakReleasing(&g_counters->drawings[n], user_);
    for (const auto& [n, page] : pages_) MixedSoakReleasing(&g_counters->pages[n][page], user_);
    drawings_.clear();
    pages_.clear();
    lock_.UnLockAll();
    Count(MIXED_SOAK_CLOSE);
  }

  FolderEnvironObj env_;
  VexaFolderLock lock_;
  std::string appFolder_;
  int user_;  // index in the counters
  std::minstd_rand random_;
  std::set<int> drawings_;
  std::set<std::pair<int, int>> pages_;
};

struct Options {
  int linuxUsers = 6;
  int windowsClients = 2;
  int seconds = 60;
  std::string peer;
  std::string wine = "/usr/lib/wine/wine64";
  bool keepLocks = false;  // a KEEPLOCKS marker in the store: no Linux user deletes lock files
};

bool ParseOptions(int argc, char** argv, Options& o) {
  int i = 1;
  if (i < argc && std::string(argv[i]) == "--keep-locks") {
    o.keepLocks = true;
    ++i;
  }
  for (; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--linux")
      o.linuxUsers = std::atoi(value);
    else if (name == "--windows")
      o.windowsClients = std::atoi(value);
    else if (name == "--seconds")
      o.seconds = std::atoi(value);
    else if (name == "--peer")
      o.peer = value;
    else if (name == "--wine")
      o.wine = value;
    else
      return false;
  }
  return i == argc && o.linuxUsers >= 0 && o.linuxUsers <= 64 && o.windowsClients >= 0 &&
         o.windowsClients <= 16 && o.seconds > 0 && (o.windowsClients == 0 || !o.peer.empty());
}

pid_t StartWindowsClient(const Options& o, const std::string& counters,
                         const std::string& appFolder, int user) {
  const std::string command = "soak " + counters + " " + appFolder + " " +
                              std::to_string(o.seconds + 60) + " " + std::to_string(user);
  const pid_t pid = fork();
  if (pid == 0) {
    unsetenv("DISPLAY");
    setenv("WINEDEBUG", "-all", 1);
    execl(o.wine.c_str(), o.wine.c_str(), o.peer.c_str(), command.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

void PrintFigures(const Options& o) {
  static const char* const kNames[MIXED_SOAK_OPS] = {"drawing locks granted",
                                                     "drawing locks refused",
                                                     "page locks granted",
                                                     "page locks refused",
                                                     "probes",
                                                     "unlocks",
                                                     "close-everything",
                                                     "lock files deleted"};
  std::printf("mixed soak: %d Linux processes, %d Windows clients (Wine), %d s, drawings 1-%d%s\n",
              o.linuxUsers, o.windowsClients, o.seconds, kDrawings,
              o.keepLocks ? ", lock files kept (KEEPLOCKS)" : "");
  std::printf("%-24s %10s %10s\n", "", "Linux", "Windows");
  long total = 0;
  for (int op = 0; op < MIXED_SOAK_OPS; ++op) {
    const int64_t onLinux = g_counters->ops[MIXED_SOAK_LINUX][op];
    const int64_t onWindows = g_counters->ops[MIXED_SOAK_WINDOWS][op];
    if (op != MIXED_SOAK_DELETED) total += static_cast<long>(onLinux + onWindows);
    // A Linux user's UnLockAll deletes what it may without telling: not counted.
    const std::string linuxText =
        op == MIXED_SOAK_DELETED ? "-" : std::to_string(static_cast<long long>(onLinux));
    std::printf("%-24s %10s %10lld\n", kNames[op], linuxText.c_str(),
                static_cast<long long>(onWindows));
  }
  std::printf("operations: %ld\n", total);
  const int64_t* d = g_counters->doubles;
  std::printf("double grants: %lld\n", static_cast<long long>(d[MIXED_SOAK_DOUBLE_ONE_FILE] +
                                                              d[MIXED_SOAK_DOUBLE_UNDER_WINDOWS]));
  std::printf("  in one lock file: %lld; in a lock file deleted under a Windows holder: %lld\n",
              static_cast<long long>(d[MIXED_SOAK_DOUBLE_ONE_FILE]),
              static_cast<long long>(d[MIXED_SOAK_DOUBLE_UNDER_WINDOWS]));
  std::printf(
      "double grants after a Windows client deleted a lock file under a Linux holder: %lld\n"
      "  (the server-side case the library cannot prevent; see docs/shared-stores.md)\n"
      "Linux locks lost with a lock file deleted under them: %lld\n",
      static_cast<long long>(d[MIXED_SOAK_DOUBLE_UNDER_LINUX]),
      static_cast<long long>(g_counters->linuxLocksLost));
}

int Main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: mixed_soak [--keep-locks] [--linux N] [--windows M] [--seconds S] [--peer "
                 "FILE.exe] "
                 "[--wine WINE64]\n");
    return 2;
  }
  char folder[] = "/tmp/mixed-soak.XXXXXX";
  if (!mkdtemp(folder)) return 2;
  const std::string root = folder;
  const std::string store = root + "/store";
  const std::string counters = root + "/counters";
  FolderEnvironObj env(store);
  const std::string appFolder = GetSenyouPath(env, kApp);
  fs::create_directories(appFolder);
  if (o.keepLocks) std::fclose(std::fopen((store + "/KEEPLOCKS").c_str(), "w"));

  const int fd = open(counters.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0 || ftruncate(fd, sizeof(MixedSoakCounters)) != 0) return 2;
  void* map = mmap(nullptr, sizeof(MixedSoakCounters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (map == MAP_FAILED) return 2;
  g_counters = static_cast<MixedSoakCounters*>(map);
  g_counters->magic = MIXED_SOAK_MAGIC;
  g_counters->linuxUsers = o.linuxUsers;

  std::vector<pid_t> children;
  for (int w = 0; w < o.windowsClients; ++w)
    children.push_back(StartWindowsClient(o, counters, appFolder, o.linuxUsers + w));
  // Wine takes a few seconds to start: the time runs once every client is in.
  const Clock::time_point started = Clock::now();
  while (__atomic_load_n(&g_counters->windowsClientsRunning, __ATOMIC_SEQ_CST) < o.windowsClients &&
         Clock::now() - started < std::chrono::seconds(60))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (g_counters->windowsClientsRunning < o.windowsClients)
    std::fprintf(stderr, "mixed_soak: only %d of %d Windows clients started\n",
                 g_counters->windowsClientsRunning, o.windowsClients);
  const Clock::time_point end = Clock::now() + std::chrono::seconds(o.seconds);
  for (int l = 0; l < o.linuxUsers; ++l) {
    const pid_t pid = fork();
    if (pid == 0) {
      LinuxUser(store, l).Run(end);
      _exit(0);
    }
    children.push_back(pid);
  }
  std::this_thread::sleep_until(end);
  __atomic_store_n(&g_counters->stop, 1, __ATOMIC_SEQ_CST);
  for (const pid_t pid : children) waitpid(pid, nullptr, 0);

  PrintFigures(o);
  const int64_t* d = g_counters->doubles;
  const bool failed = d[MIXED_SOAK_DOUBLE_ONE_FILE] + d[MIXED_SOAK_DOUBLE_UNDER_WINDOWS] != 0;
  fs::remove_all(root);
  return failed ? 1 : 0;
}

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  return vexa::Main(argc, argv);
}
