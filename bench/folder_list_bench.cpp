// Loading the folder list with lock probes, on a local disk and on a share.
//
// Local disk: the load against two floors written by hand with the system
// calls that a load must make. The six-call floor: list the application
// folder; open, read 824 bytes and close each index file; one lock and unlock
// of the drawing's byte on an already open CADAPP.LOC and one stat of its page
// lock file per drawing. The three-call floor: list; open, read, close each
// index file.
//
// Share: every request through the platform seam waits 0.5 ms (DelayEnv), as
// a round trip on a LAN does. The load against the serial per-drawing load
// the list made before it overlapped its reads and asked locks by range
// (index file, then the drawing test, drawing by drawing), and against a
// parallel reader written by hand (list; open, read, close every index file
// on 16 threads). Wall-clock times: the requests wait, they do not compute.
//
// The store (11 applications x 999 drawings) is generated once in
// $TMPDIR/vexafol-folder-list-bench and reused by later runs (removing 11,000
// folders takes longer than the benchmark). While it runs, a second process
// holds drawing and page locks in every application (none, or one drawing in
// ten: half of them whole, half by a page). Prints the best of several runs,
// the ratios, and the requests per drawing that reach the delayed share.
// Arguments name the parts to run (local, share, serial, fuse); none: all.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_store.h"
#include "bench/delay_env.h"
#include "bench/fuse_share.h"
#include "folderlist/folderlist_scan.h"
#include "platform/env.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/sel_file_list.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kDrawings = 999;
constexpr int kRuns = 11;
constexpr int kShareRuns = 3;
constexpr long kShareDelayMicroseconds = 500;
constexpr int kReaderThreads = 16;

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

// The locks another process holds while a measurement runs.
enum class LockMix {
  None,      // no other holder
  OneInTen,  // one drawing in ten: every 20th, and page 3 of every 20th + 10
};

const char* MixName(LockMix mix) {
  return mix == LockMix::None ? "no other holder" : "1 in 10 locked, half by a page";
}

// A second process holding the locks of a mix in every application.
class LockHolder {
 public:
  LockHolder(const CEnvironObj& env, LockMix mix) {
    if (mix == LockMix::None) return;
    constexpr int step = 20;
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) std::exit(1);
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      // Released and its lock files removed before the child exits, so that
      // the next mix finds none left.
      auto lock = std::make_unique<VexaFolderLock>(&env);
      int held = 0;
      for (int id : AppIds(env)) {
        for (int n = step; n <= kDrawings; n += step) {
          held += lock->LockZmn(DrawingPath(env, id, n).c_str());
          held += lock->LockPage(DrawingPath(env, id, n - step / 2).c_str(), 3);
        }
      }
      if (write(ready[1], &held, sizeof held) != sizeof held) _exit(2);
      char byte;
      while (read(release[0], &byte, 1) > 0) {
      }
      lock.reset();
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    if (read(ready[0], &held_, sizeof held_) != sizeof held_) std::exit(1);
    close(ready[0]);
  }
  ~LockHolder() {
    if (pid_ < 0) return;
    close(release_);
    waitpid(pid_, nullptr, 0);
  }
  int held() const { return held_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  int held_ = 0;
};

// The names of the drawing folders of an application folder.
std::vector<std::string> DrawingNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = dir ? readdir(dir) : nullptr) {
    if (std::strncmp(entry->d_name, "Fol.", 4) == 0) names.push_back(entry->d_name);
  }
  if (dir) closedir(dir);
  return names;
}

// List; open, read 824 bytes and close each index file.
int ThreeCallFloor(const std::vector<std::string>& folders) {
  int records = 0;
  for (const std::string& folder : folders) {
    for (const std::string& name : DrawingNames(folder)) {
      char header[824];
      const int fd = open((folder + "/" + name + "/INDEX.VXF").c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      records += read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header);
      close(fd);
    }
  }
  return records;
}

// The six-call floor for the given application folders.
int SixCallFloor(const std::vector<std::string>& folders) {
  int records = 0;
  for (const std::string& folder : folders) {
    const int lockFd = open((folder + "/CADAPP.LOC").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    for (const std::string& name : DrawingNames(folder)) {
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

// Best times of the floors and of the load, measured alternately so that a
// change of the machine's load hits all alike. The local times are the
// process's CPU time (user and system): on a shared machine the wall clock
// mostly measures the other processes; all sides are bound by system calls on
// warm caches. The share times are wall-clock times.
using bench::CpuMs;
using bench::WallMs;

double Ms(double (*clock)(), const std::function<int()>& run, int expected) {
  const double start = clock();
  const int got = run();
  const double stop = clock();
  if (got != expected) {
    std::fprintf(stderr, "expected %d records, got %d\n", expected, got);
    std::exit(1);
  }
  return stop - start;
}

// The load; counts the records with a lock state in locked.
int LoadList(const CEnvironObj& env, int mask, int& locked) {
  VexaFolderList list(env);
  list.Load(mask, 0);
  locked = 0;
  for (int i = 0; i < list.GetFolderNum(); ++i) locked += list.GetFolderMember(i)->lockState != 0;
  return list.GetFolderNum();
}

void CompareLocal(const char* what, const CEnvironObj& env, int mask,
                  const std::vector<std::string>& folders) {
  const int expected = static_cast<int>(folders.size()) * kDrawings;
  int locked = 0;
  double six = 1e300, three = 1e300, load = 1e300;
  // One load first, unmeasured: the first in a process also pays for the
  // allocator settling on the record sizes, which no later load does.
  LoadList(env, mask, locked);
  for (int i = 0; i < kRuns; ++i) {
    six = std::min(six, Ms(
                            CpuMs, [&] { return SixCallFloor(folders); }, expected));
    three = std::min(three, Ms(
                                CpuMs, [&] { return ThreeCallFloor(folders); }, expected));
    load = std::min(load, Ms(
                              CpuMs, [&] { return LoadList(env, mask, locked); }, expected));
  }
  std::printf(
      "%-22s CPU time: six-call floor %7.2f ms   three-call floor %7.2f ms   Load %7.2f ms   "
      "Load/six %.2fx   Load/three %.2fx   (%d locked records)\n",
      what, six, three, load, load / six, load / three, locked);
}

// The load as it was made drawing by drawing: the index file, then the
// drawing test of a fresh service (one application folder: the page test
// would repeat the drawing test's page scan, so it was not asked).
int SerialLoad(const CEnvironObj& env, const std::string& folder) {
  VexaFolderLock lock(&env);
  CSelFileList list;
  list.AddFileList(env, folder, "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.???", nullptr, 0, nullptr, nullptr);
  int records = 0;
  for (int i = 0; i < list.GetCnt(); ++i) {
    std::string path = folder;
    env.AddFileName(path, list.GetFileName(i));
    std::string index = path;
    CreateIndexFileName(env, index);
    VexaFileHeader header;
    if (folder_list::ReadHeaderAt(index, header) != folder_list::HeaderRead::Read) continue;
    lock.IsLockZmn(path.c_str());
    ++records;
  }
  return records;
}

// List each folder, then open, read 824 bytes and close every index file on
// kReaderThreads threads, all through the platform seam.
int ParallelReader(const std::vector<std::string>& folders) {
  platform::Env& os = platform::CurrentEnv();
  std::vector<std::string> paths;
  for (const std::string& folder : folders) {
    std::vector<platform::DirEntry> entries;
    os.ListDir(folder, entries);
    for (const platform::DirEntry& entry : entries)
      if (entry.name.compare(0, 4, "Fol.") == 0)
        paths.push_back(folder + "/" + entry.name + "/INDEX.VXF");
  }
  std::atomic<size_t> next{0};
  std::atomic<int> records{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < paths.size();) {
      char header[824];
      const int fd = os.Open(paths[i], O_RDONLY | O_CLOEXEC, 0);
      if (fd < 0) continue;
      records += os.Read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header);
      os.Close(fd);
    }
  };
  std::vector<std::thread> threads;
  for (int t = 1; t < kReaderThreads; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  return records;
}

// share: the platform seam in force during the measurement (a DelayEnv, or
// the plain one over the FUSE mount).
void CompareShare(const char* what, platform::Env& share, const CEnvironObj& env, int mask,
                  const std::vector<std::string>& folders, bool withSerial) {
  const int expected = static_cast<int>(folders.size()) * kDrawings;
  const platform::ScopedEnv scoped(share);
  int locked = 0;
  double serial = 1e300, reader = 1e300, load = 1e300;
  for (int i = 0; i < kShareRuns; ++i) {
    if (withSerial)
      serial =
          std::min(serial, Ms(
                               WallMs, [&] { return SerialLoad(env, folders.front()); }, expected));
    reader = std::min(reader, Ms(
                                  WallMs, [&] { return ParallelReader(folders); }, expected));
    load = std::min(load, Ms(
                              WallMs, [&] { return LoadList(env, mask, locked); }, expected));
  }
  std::printf("%-30s wall time at %.1f ms per request: ", what, kShareDelayMicroseconds / 1e3);
  if (withSerial) std::printf("serial load %8.1f ms   ", serial);
  std::printf("parallel reader %7.1f ms   Load %7.1f ms   ", reader, load);
  if (withSerial) std::printf("serial/Load %.1fx   ", serial / load);
  std::printf("Load/reader %.2fx   (%d locked records)\n", load / reader, locked);
  std::fflush(stdout);
}

// The requests per drawing that the reader and the load send to the share
// (the load's list destroyed included: it closes, and may delete, lock files).
void CountRequests(bench::DelayEnv& share, const CEnvironObj& env, int mask,
                   const std::vector<std::string>& folders) {
  const int drawings = static_cast<int>(folders.size()) * kDrawings;
  const platform::ScopedEnv scoped(share);
  share.ResetCounts();
  ParallelReader(folders);
  const std::string reader = share.PerUnit(drawings);
  share.ResetCounts();
  int locked = 0;
  LoadList(env, mask, locked);
  std::printf("  requests per drawing: reader %s\n                        Load   %s\n",
              reader.c_str(), share.PerUnit(drawings).c_str());
  std::fflush(stdout);
}

#ifdef VEXA_DELAY_FUSE
// The same share figures over the FUSE mount, where every request of the
// kernel (each name lookup too) waits.
void CompareFuse(const std::string& root, const FolderEnvironOptions& sourceOptions,
                 const std::vector<int>& ids) {
  const bench::FuseShare fuse(root, root + "-fuse", kShareDelayMicroseconds);
  if (!fuse.mounted()) {
    std::printf("FUSE share: not measured (needs root, /dev/fuse and bench/delay_fuse)\n");
    return;
  }
  FolderEnvironOptions options;
  options.dataPath = root + "-fuse/DATA";
  options.userDataFile = root + "/user.ini";
  const FolderEnvironObj env(root + "-fuse", options);
  std::vector<std::string> all;
  for (int id : ids) all.push_back(GetSenyouPath(env, id));
  const FolderEnvironObj sourceEnv(root, sourceOptions);
  platform::Env plain;
  for (LockMix mix : {LockMix::None, LockMix::OneInTen}) {
    const LockHolder holder(sourceEnv, mix);
    std::printf("-- FUSE share, %s: another process holds %d locks\n", MixName(mix), holder.held());
    CompareShare("FUSE share, 999 drawings", plain, env, ids.front(), {all.front()}, false);
    CompareShare("FUSE share, 10,989 drawings", plain, env, -1, all, false);
  }
}
#endif

}  // namespace
}  // namespace vexa

// The parts to run: all without arguments, else those named ("local",
// "share", "serial", "fuse").
bool Wanted(int argc, char** argv, const char* part) {
  if (argc < 2) return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], part) == 0) return true;
  return false;
}

int main(int argc, char** argv) {
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
  bench::DelayEnv share(kShareDelayMicroseconds);
  std::printf("%zu applications x %d drawings\n", ids.size(), kDrawings);
  for (LockMix mix : {LockMix::None, LockMix::OneInTen}) {
    if (!Wanted(argc, argv, "local") && !Wanted(argc, argv, "share")) break;
    const LockHolder holder(env, mix);
    std::printf("-- %s: another process holds %d locks\n", MixName(mix), holder.held());
    std::fflush(stdout);
    if (Wanted(argc, argv, "local")) {
      CompareLocal("Load 999 drawings", env, ids.front(), {all.front()});
      CompareLocal("Load 10,989 drawings", env, -1, all);
      std::fflush(stdout);
    }
    if (!Wanted(argc, argv, "share")) continue;
    CountRequests(share, env, ids.front(), {all.front()});
    CompareShare("Share, 999 drawings", share, env, ids.front(), {all.front()},
                 mix == LockMix::OneInTen && Wanted(argc, argv, "serial"));
    CountRequests(share, env, -1, all);
    CompareShare("Share, 10,989 drawings", share, env, -1, all, false);
  }
#ifdef VEXA_DELAY_FUSE
  if (Wanted(argc, argv, "fuse")) CompareFuse(root, options, ids);
#endif
  return 0;
}
