// Rebuilding the folder list's second order for 10,989 drawings (eleven
// applications with 999 drawings each), per sort type, against the plain
// quadratic selection sort on precomputed ranks (its most favourable form:
// no collation inside the loop). Prints the ratio per sort type at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "folderlist/sort_order.h"
#include "tests/folderlist/selection_sort_reference.h"
#include "tests/support/test_environ.h"
#include "vexafol/filetime.h"

namespace vexa {
namespace {

constexpr int kApplications = 11;
constexpr int kDrawingsPerApplication = 999;
constexpr int kDirection = 1;

struct Store {
  test::TestEnviron env;
  std::vector<std::unique_ptr<FolMember>> owned;
  std::vector<const FolMember*> members;
};

const Store& TheStore() {
  static const Store* store = [] {
    auto* s = new Store;
    std::mt19937 random(1);
    const char* const people[] = {"山田", "田中", "佐藤", "鈴木", "高橋", "伊藤", "渡辺", "中村"};
    const char* const kinds[] = {"平面図", "縦断図", "横断図", "構造図", "展開図", "位置図"};
    for (int app = 0; app < kApplications; ++app) {
      for (int n = 1; n <= kDrawingsPerApplication; ++n) {
        auto m = std::make_unique<FolMember>();
        char folder[64];
        std::snprintf(folder, sizeof folder, "/store/app%02d/Fol.%03d", app, n);
        m->path = folder;
        m->appId = 1 << app;
        m->header.pageCount = static_cast<int32_t>(random() % 60 + 1);
        m->header.SetTitle(std::string(kinds[random() % 6]) + " 第" +
                           std::to_string(random() % 400) + "工区");
        m->header.SetCreator(people[random() % 8]);
        m->header.SetUpdater(people[random() % 8]);
        m->header.createTime =
            UnixToFileTime(1500000000 + static_cast<int64_t>(random() % 200000000));
        m->header.updateTime =
            UnixToFileTime(1500000000 + static_cast<int64_t>(random() % 200000000));
        s->members.push_back(m.get());
        s->owned.push_back(std::move(m));
      }
    }
    return s;
  }();
  return *store;
}

void BM_FolderSortOrder(benchmark::State& state) {
  const Store& store = TheStore();
  const int sortType = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(FolderSortOrder(store.env, store.members, sortType, kDirection));
  }
}
BENCHMARK(BM_FolderSortOrder)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// The quadratic sort over the same ranks, computed once outside the timing.
void BM_QuadraticSortOrder(benchmark::State& state) {
  const Store& store = TheStore();
  const int sortType = static_cast<int>(state.range(0));
  const std::vector<int64_t> ranks = SortRanks(store.env, store.members, sortType);
  for (auto _ : state) {
    benchmark::DoNotOptimize(test::ReferenceSelectionSort(
        static_cast<int>(ranks.size()), [&](int a, int b) { return ranks[a] > ranks[b]; },
        kDirection));
  }
}
BENCHMARK(BM_QuadraticSortOrder)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// Console output plus the CPU time of every run (steadier than wall time on a
// shared machine), to print the ratios afterwards.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }

  void PrintRatios() const {
    std::printf(
        "\nCPU time per rebuild of the order of %zu drawings\n"
        "sort type  fast (ms)  quadratic (ms)  quadratic / fast\n",
        static_cast<size_t>(kApplications * kDrawingsPerApplication));
    for (int type = 1; type <= 8; ++type) {
      const auto fast = times_.find("BM_FolderSortOrder/" + std::to_string(type));
      const auto slow = times_.find("BM_QuadraticSortOrder/" + std::to_string(type));
      if (fast == times_.end() || slow == times_.end()) continue;
      std::printf("%9d  %9.3f  %14.3f  %16.1f\n", type, fast->second, slow->second,
                  slow->second / fast->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vexa::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
