// Loading the folder list with lock probes, against a floor written by hand
// with the system calls that any load must make: list the application folder;
// open, read 824 bytes and close each index file; one lock and unlock of the
// drawing's byte on an already open CADAPP.LOC and one stat of its page lock
// file per drawing.
//
// The store (11 applications x 999 drawings) is generated once in
// $TMPDIR/vexafol-folder-list-bench and reused by later runs (removing 11,000
// folders takes longer than the benchmark). While it runs, a second process
// holds drawing and page locks in every application. Prints the best of
// several warm runs and the ratio to the floor.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_store.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kDrawings = 999;
constexpr int kRuns = 11;

using bench::AppIds;

std::string BenchRoot() {
  return bench::ScratchFolder("vexafol-folder-list-bench");
}

std::string DrawingPath(const CEnvironObj& env, int id, int n) {
  char name[16];
  std::snprintf(name, sizeof name, "/Fol.%03d", n);
  return GetSenyouPath(env, id) + name;
}

void MakeStore(const CEnvironObj& env, const std::string& marker) {
  if (std::filesystem::exists(marker)) return;
  std::printf("generating the store in %s ...\n", BenchRoot().c_str());
  int serial = 0;
  for (int id : AppIds(env)) {
    for (int n = 1; n <= kDrawings; ++n) {
      const std::string folder = DrawingPath(env, id, n);
      std::filesystem::create_directories(folder);
      VexaFileHeader header;
      header.version = 2;
      header.SetTitle("図面 " + std::to_string(n));
      header.SetCreator("山田");
      header.SetUpdater("田中");
      header.pageCount = n % 7 + 1;
      header.createTime = UnixToFileTime(1600000000 + (serial++ * 7919) % 100000000);
      header.updateTime = header.createTime;
      std::ofstream(folder + "/INDEX.VXF", std::ios::binary)
          .write(reinterpret_cast<const char*>(&header), sizeof header);
    }
  }
  std::ofstream(marker) << "complete\n";
}

// A second process holding every 50th drawing and page 3 of every 50th + 25.
class LockHolder {
 public:
  explicit LockHolder(const CEnvironObj& env) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) std::exit(1);
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      VexaFolderLock lock(&env);
      int held = 0;
      for (int id : AppIds(env)) {
        for (int n = 50; n <= kDrawings; n += 50) {
          held += lock.LockZmn(DrawingPath(env, id, n).c_str());
          held += lock.LockPage(DrawingPath(env, id, n - 25).c_str(), 3);
        }
      }
      if (write(ready[1], &held, sizeof held) != sizeof held) _exit(2);
      char byte;
      while (read(release[0], &byte, 1) > 0) {
      }
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    if (read(ready[0], &held_, sizeof held_) != sizeof held_) std::exit(1);
    close(ready[0]);
  }
  ~LockHolder() {
    close(release_);
    waitpid(pid_, nullptr, 0);
  }
  int held() const { return held_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  int held_ = 0;
};

// The hand-written floor for the given application folders.
int Floor(const std::vector<std::string>& folders) {
  int records = 0;
  for (const std::string& folder : folders) {
    const int lockFd = open((folder + "/CADAPP.LOC").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    DIR* dir = opendir(folder.c_str());
    std::vector<std::string> names;
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
      if (std::strncmp(entry->d_name, "Fol.", 4) == 0) names.push_back(entry->d_name);
    }
    if (dir) closedir(dir);
    for (const std::string& name : names) {
      char header[824];
      const int fd = open((folder + "/" + name + "/INDEX.VXF").c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      const bool read824 = read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header);
      close(fd);
      if (!read824) continue;
      const int n = std::atoi(name.c_str() + 4);
      struct flock byte {};
      byte.l_type = F_WRLCK;
      byte.l_whence = SEEK_SET;
      byte.l_start = n;
      byte.l_len = 1;
      if (fcntl(lockFd, F_OFD_SETLK, &byte) == 0) {
        byte.l_type = F_UNLCK;
        fcntl(lockFd, F_OFD_SETLK, &byte);
      }
      char pageLock[32];
      std::snprintf(pageLock, sizeof pageLock, "/FOL%03d.LOC", n);
      struct stat st;
      stat((folder + pageLock).c_str(), &st);
      ++records;
    }
    close(lockFd);
  }
  return records;
}

// Best times of the floor and of the load, measured alternately so that a
// change of the machine's load hits both alike. The times are the process's
// CPU time (user and system): on a shared machine the wall clock mostly
// measures the other processes; both sides are bound by system calls on
// warm caches.
struct Times {
  double floor = 1e300;
  double load = 1e300;
};

double Ms(const std::function<int()>& run, int expected) {
  auto now = [] {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
  };
  const double start = now();
  const int got = run();
  const double stop = now();
  if (got != expected) {
    std::fprintf(stderr, "expected %d records, got %d\n", expected, got);
    std::exit(1);
  }
  return stop - start;
}

void Compare(const char* what, const CEnvironObj& env, int mask,
             const std::vector<std::string>& folders) {
  const int expected = static_cast<int>(folders.size()) * kDrawings;
  int locked = 0;
  auto load = [&] {
    VexaFolderList list(env);
    list.Load(mask, 0);
    locked = 0;
    for (int i = 0; i < list.GetFolderNum(); ++i) locked += list.GetFolderMember(i)->lockState != 0;
    return list.GetFolderNum();
  };
  Times best;
  for (int i = 0; i < kRuns; ++i) {
    best.floor = std::min(best.floor, Ms([&] { return Floor(folders); }, expected));
    best.load = std::min(best.load, Ms(load, expected));
  }
  std::printf(
      "%-22s CPU time: floor %8.2f ms   Load %8.2f ms   ratio %.2fx   (%d locked records)\n", what,
      best.floor, best.load, best.load / best.floor, locked);
}

}  // namespace
}  // namespace vexa

int main() {
  using namespace vexa;
  const std::string root = BenchRoot();
  FolderEnvironOptions options;
  options.dataPath = root + "/DATA";
  options.userDataFile = root + "/user.ini";
  const FolderEnvironObj env(root, options);
  MakeStore(env, root + "/complete");

  const std::vector<int> ids = AppIds(env);
  std::vector<std::string> all;
  for (int id : ids) all.push_back(GetSenyouPath(env, id));
  LockHolder holder(env);
  std::printf("%zu applications x %d drawings; another process holds %d locks\n", ids.size(),
              kDrawings, holder.held());
  std::fflush(stdout);
  Compare("Load 999 drawings", env, ids.front(), {all.front()});
  Compare("Load 10,989 drawings", env, -1, all);
  return 0;
}
