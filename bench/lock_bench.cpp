// The lock service's operations on lock files that are already open, each
// against the same system calls written out by hand (the floor: what the
// service cannot avoid doing), and one bare open file description lock and
// unlock for scale. Prints service / floor per operation at the end.
//
// System calls per operation on the fast path (drawing lock file D and page
// lock file P open unless stated):
//   LockZmn+UnLockZmn  fstat(D); lock; stat(dir); stat(P path) (P missing:
//                      UnLockZmn closed and removed it); unlock
//   IsLockZmn          fstat(D); lock; unlock; then with P open: lseek(P, 0);
//                      lseek(P, current); getlk(P, 0..499); read(P, 500)
//                      or without a page lock file: stat(dir); stat(P path)
//   IsExistLockPage    as the page scan part of IsLockZmn
//   LockPage+UnLockPage  fstat(D); fstat(P); lock(P); fstat(D); unlock(P)
//   IsLockPage         fstat(D); fstat(P); lock(P); unlock(P)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "vexafol/file.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kFolderNo = 1;
constexpr int kPage = 3;

// A store with one drawing folder and the paths of its lock files.
struct Store {
  test::TempDir dir;
  FolderEnvironObj env{dir.path()};
  std::string folder = GetSenyouPath(env, 1);
  std::string drawing = folder + "/Fol.001";
  std::string drawingLockFile = folder + "/CADAPP.LOC";
  std::string pageLockFile = folder + "/FOL001.LOC";
  Store() { env.CreateDir(drawing, 1); }
};

enum class PageFile { Open, Missing };

// --- the service -------------------------------------------------------------

// A service with the drawing lock file open and the page lock file open or missing.
struct Service {
  Store store;
  VexaFolderLock locks{&store.env};
  const char* drawing = store.drawing.c_str();
  explicit Service(PageFile page) {
    locks.IsLockPage(drawing, 0);  // opens both lock files
    if (page == PageFile::Missing) {
      locks.LockZmn(drawing);
      locks.UnLockZmn(drawing);  // closes and removes the page lock file
    }
  }
};

void BM_LockZmnUnLockZmn(benchmark::State& state) {
  Service service(PageFile::Missing);
  for (auto _ : state) {
    if (service.locks.LockZmn(service.drawing) != 1) state.SkipWithError("not granted");
    service.locks.UnLockZmn(service.drawing);
  }
}

void BM_IsLockZmn(benchmark::State& state) {
  Service service(static_cast<PageFile>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(service.locks.IsLockZmn(service.drawing));
}

void BM_IsExistLockPage(benchmark::State& state) {
  Service service(static_cast<PageFile>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(service.locks.IsExistLockPage(service.drawing));
}

void BM_LockPageUnLockPage(benchmark::State& state) {
  Service service(PageFile::Open);
  for (auto _ : state) {
    if (service.locks.LockPage(service.drawing, kPage) != 1) state.SkipWithError("not granted");
    service.locks.UnLockPage(service.drawing, kPage);
  }
}

void BM_IsLockPage(benchmark::State& state) {
  Service service(PageFile::Open);
  for (auto _ : state) benchmark::DoNotOptimize(service.locks.IsLockPage(service.drawing, kPage));
}

// --- the floor: the same calls by hand -----------------------------------------

int Lock(int fd, short type, off_t offset, off_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &lock);
}

// Descriptors on the lock files, each with the shared in-use mark that every
// handle of the service holds (so the kernel's lock lists are as long).
struct Floor {
  Store store;
  int drawingFd = Open(store.drawingLockFile, 1000);
  int pageFd = -1;
  explicit Floor(PageFile page) {
    if (page == PageFile::Open) pageFd = Open(store.pageLockFile, 501);
  }
  ~Floor() {
    close(drawingFd);
    if (pageFd >= 0) close(pageFd);
  }
  static int Open(const std::string& path, off_t length) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    Lock(fd, F_RDLCK, File::kSentinelOffset, 1);
    if (ftruncate(fd, length) != 0) std::perror("ftruncate");
    return fd;
  }
  // The page scan: stat of the data directory and of the missing page lock
  // file, or the 500-byte read of the open one after its lock query.
  bool PageScan() {
    struct stat st;
    if (pageFd < 0) {
      benchmark::DoNotOptimize(stat(store.folder.c_str(), &st));
      return stat(store.pageLockFile.c_str(), &st) == 0;
    }
    char buffer[500];
    lseek(pageFd, 0, SEEK_SET);
    struct flock query {};
    query.l_type = F_RDLCK;
    query.l_whence = SEEK_SET;
    query.l_start = lseek(pageFd, 0, SEEK_CUR);
    query.l_len = sizeof buffer;
    fcntl(pageFd, F_OFD_GETLK, &query);
    return query.l_type != F_UNLCK || read(pageFd, buffer, sizeof buffer) != sizeof buffer;
  }
};

void BM_FloorLockZmnUnLockZmn(benchmark::State& state) {
  Floor floor(PageFile::Missing);
  struct stat st;
  for (auto _ : state) {
    fstat(floor.drawingFd, &st);
    Lock(floor.drawingFd, F_WRLCK, kFolderNo, 1);
    benchmark::DoNotOptimize(floor.PageScan());
    Lock(floor.drawingFd, F_UNLCK, kFolderNo, 1);
  }
}

void BM_FloorIsLockZmn(benchmark::State& state) {
  Floor floor(static_cast<PageFile>(state.range(0)));
  struct stat st;
  for (auto _ : state) {
    fstat(floor.drawingFd, &st);
    Lock(floor.drawingFd, F_WRLCK, kFolderNo, 1);
    Lock(floor.drawingFd, F_UNLCK, kFolderNo, 1);
    benchmark::DoNotOptimize(floor.PageScan());
  }
}

void BM_FloorIsExistLockPage(benchmark::State& state) {
  Floor floor(static_cast<PageFile>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(floor.PageScan());
}

void BM_FloorLockPageUnLockPage(benchmark::State& state) {
  Floor floor(PageFile::Open);
  struct stat st;
  for (auto _ : state) {
    fstat(floor.drawingFd, &st);
    fstat(floor.pageFd, &st);
    Lock(floor.pageFd, F_WRLCK, kPage, 1);
    fstat(floor.drawingFd, &st);
    Lock(floor.pageFd, F_UNLCK, kPage, 1);
  }
}

void BM_FloorIsLockPage(benchmark::State& state) {
  Floor floor(PageFile::Open);
  struct stat st;
  for (auto _ : state) {
    fstat(floor.drawingFd, &st);
    fstat(floor.pageFd, &st);
    Lock(floor.pageFd, F_WRLCK, kPage, 1);
    Lock(floor.pageFd, F_UNLCK, kPage, 1);
  }
}

void BM_BareOfdLockUnlock(benchmark::State& state) {
  Floor floor(PageFile::Missing);
  for (auto _ : state) {
    Lock(floor.drawingFd, F_WRLCK, kFolderNo, 1);
    Lock(floor.drawingFd, F_UNLCK, kFolderNo, 1);
  }
}

// Argument of the page-scan benchmarks: 0 page lock file open, 1 missing.
BENCHMARK(BM_LockZmnUnLockZmn);
BENCHMARK(BM_FloorLockZmnUnLockZmn);
BENCHMARK(BM_IsLockZmn)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorIsLockZmn)->Arg(0)->Arg(1);
BENCHMARK(BM_IsExistLockPage)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorIsExistLockPage)->Arg(0)->Arg(1);
BENCHMARK(BM_LockPageUnLockPage);
BENCHMARK(BM_FloorLockPageUnLockPage);
BENCHMARK(BM_IsLockPage);
BENCHMARK(BM_FloorIsLockPage);
BENCHMARK(BM_BareOfdLockUnlock);

// Console output plus the CPU time of every run, for the ratios at the end.
// With repetitions the fastest one counts: on a shared machine the others
// carry time of other processes (cache and scheduler effects), not of ours.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.str();
      const double time = run.GetAdjustedCPUTime();
      const auto known = times_.find(name);
      if (known == times_.end() || time < known->second) times_[name] = time;
    }
  }
  void PrintRatios() const {
    const auto bare = times_.find("BM_BareOfdLockUnlock");
    std::printf(
        "\nCPU time per operation (ns, fastest repetition); floor: the same system calls by "
        "hand\n");
    std::printf("%-34s %9s %9s %13s %12s\n", "operation", "service", "floor", "service/floor",
                "/ bare lock");
    const struct {
      const char* label;
      const char* name;
    } rows[] = {
        {"LockZmn+UnLockZmn", "LockZmnUnLockZmn"},
        {"IsLockZmn (page file open)", "IsLockZmn/0"},
        {"IsLockZmn (no page file)", "IsLockZmn/1"},
        {"IsExistLockPage (page file open)", "IsExistLockPage/0"},
        {"IsExistLockPage (no page file)", "IsExistLockPage/1"},
        {"LockPage+UnLockPage", "LockPageUnLockPage"},
        {"IsLockPage", "IsLockPage"},
    };
    for (const auto& row : rows) {
      const auto service = times_.find(std::string("BM_") + row.name);
      const auto floor = times_.find(std::string("BM_Floor") + row.name);
      if (service == times_.end() || floor == times_.end()) continue;
      std::printf("%-34s %9.0f %9.0f %13.2f %12.2f\n", row.label, service->second, floor->second,
                  service->second / floor->second,
                  bare == times_.end() ? 0.0 : service->second / bare->second);
    }
    if (bare != times_.end()) std::printf("%-34s %9.0f\n", "bare OFD lock+unlock", bare->second);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  // Five repetitions unless the command line says otherwise.
  std::vector<char*> args(argv, argv + argc);
  char repetitions[] = "--benchmark_repetitions=5";
  args.insert(args.begin() + 1, repetitions);
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vexa::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
