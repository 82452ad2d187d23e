// Overlapped index reads: every job once, threads only for requests that wait,
// and a load over slow requests equal to the serial one, faults included.
#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "folderlist/overlapped.h"
#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"

namespace vexa {
namespace {

using test::DrawingSpec;
using test::StoreFixture;

class ThreadsSeen {
 public:
  void Note() {
    const std::lock_guard<std::mutex> guard(mutex_);
    ids_.insert(std::this_thread::get_id());
  }
  size_t Count() const {
    const std::lock_guard<std::mutex> guard(mutex_);
    return ids_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::thread::id> ids_;
};

void Wait(long microseconds) {
  timespec pause{0, microseconds * 1000};
  nanosleep(&pause, nullptr);
}

TEST(RunOverlapped, EveryJobOnceWithThreadsOnlyForWaitingJobs) {
  for (const auto& [delay, threads, wantParallel] :
       {std::tuple{0L, 0, -1}, {300L, 0, 1}, {50L, 5, 1}, {50L, 1, 0}}) {
    std::vector<std::atomic<int>> runs(400);
    std::vector<size_t> consumed;
    ThreadsSeen seen;
    const std::thread::id caller = std::this_thread::get_id();
    folder_list::RunOverlapped(
        runs.size(),
        [&](size_t i) {
          seen.Note();
          if (delay) Wait(delay);
          ++runs[i];
        },
        [&](size_t i) {
          // On the calling thread, in order, after its job.
          EXPECT_EQ(std::this_thread::get_id(), caller);
          EXPECT_EQ(runs[i], 1);
          consumed.push_back(i);
          return true;
        },
        threads);
    for (size_t i = 0; i < runs.size(); ++i) ASSERT_EQ(runs[i], 1) << i;
    ASSERT_EQ(consumed.size(), runs.size());
    for (size_t i = 0; i < consumed.size(); ++i) ASSERT_EQ(consumed[i], i);
    // Jobs that do not wait may go either way (a busy machine can stall the sample).
    if (wantParallel >= 0) {
      EXPECT_EQ(seen.Count() > 1, wantParallel == 1) << delay << " " << threads;
    }
    EXPECT_LE(seen.Count(), static_cast<size_t>(folder_list::kMaxScanThreads));
  }
  const auto never = [](size_t) { ADD_FAILURE(); };
  const auto neverConsumed = [](size_t) {
    ADD_FAILURE();
    return true;
  };
  EXPECT_TRUE(folder_list::RunOverlapped(0, never, neverConsumed));
  int single = 0;
  EXPECT_TRUE(folder_list::RunOverlapped(
      1, [&](size_t) { ++single; },
      [&](size_t) {
        single += 10;
        return true;
      },
      16));
  EXPECT_EQ(single, 11);
}

TEST(RunOverlapped, AConsumerThatAnswersFalseStopsTheRest) {
  for (int threads : {0, 1, 5}) {
    std::vector<std::atomic<int>> runs(400);
    size_t consumed = 0;
    EXPECT_FALSE(folder_list::RunOverlapped(
        runs.size(),
        [&](size_t i) {
          Wait(50);
          ++runs[i];
        },
        [&](size_t i) {
          ++consumed;
          return i < 10;
        },
        threads));
    EXPECT_EQ(consumed, 11u) << threads;
    for (size_t i = 0; i < runs.size(); ++i) ASSERT_LE(runs[i], 1) << i;
    for (size_t i = 0; i <= 10; ++i) EXPECT_EQ(runs[i], 1) << i;
    if (threads == 1) {
      EXPECT_EQ(runs[11], 0);  // one thread reads no further than it consumes
    }
  }
}

// Index files that answer slowly, as on a share: every open waits.
class SlowEnv : public platform::FaultEnv {
 public:
  int Open(const std::string& path, int flags, mode_t mode) override {
    seen.Note();
    Wait(300);
    return FaultEnv::Open(path, flags, mode);
  }
  ThreadsSeen seen;
};

// Each record as "path title app lock", in list order.
std::vector<std::string> Records(const VexaFolderList& list) {
  std::vector<std::string> records;
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const FolMember& m = *list.GetFolderMember(i);
    records.push_back(m.path + " " + m.header.Title() + " " + std::to_string(m.appId) + " " +
                      std::to_string(m.lockState));
  }
  return records;
}

TEST(RunOverlapped, LoadOverSlowRequestsEqualsTheSerialLoad) {
  StoreFixture store;
  std::vector<std::string> failing;
  for (int app : {0x1, 0x4}) {
    for (int n = 1; n <= 150; ++n) {
      DrawingSpec spec;
      spec.title = "図面" + std::to_string(n);
      spec.created = 1700000000 + n % 7;  // many ties: scan order must decide them
      const std::string folder = store.WriteAppDrawing(app, n, spec);
      if (n % 31 == 0) std::filesystem::rename(folder + "/INDEX.VXF", folder + "/index.vxf");
      if (n % 37 == 0) std::filesystem::remove(folder + "/INDEX.VXF");
      if (n % 41 == 0) failing.push_back(folder + "/INDEX.VXF");
    }
  }
  auto load = [&](platform::FaultEnv& env) {
    for (const std::string& path : failing) env.Fail(platform::Op::PRead, EIO, path);
    const platform::ScopedEnv scoped(env);
    VexaFolderList list(store.env());
    list.Load(-1, 0);
    return Records(list);
  };
  platform::FaultEnv fast;
  SlowEnv slow;
  const std::vector<std::string> serial = load(fast);
  EXPECT_EQ(load(slow), serial);
  EXPECT_GT(slow.seen.Count(), 1u) << "the slow load overlapped its reads";
  EXPECT_EQ(serial.size(), 2u * (150 - 4 - 3));  // missing and failing ones dropped
}

}  // namespace
}  // namespace vexa
