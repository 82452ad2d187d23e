#include "folderlist/overlapped.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace vexa::folder_list {
namespace {

// Jobs timed on the calling thread before the decision, and the mean time per
// job above which they are taken to wait on a server.
constexpr size_t kSampleJobs = 2;
constexpr std::chrono::microseconds kWaitingJob{100};

// The jobs from first on, shared by the helpers and the calling thread.
class SharedJobs {
 public:
  SharedJobs(size_t first, size_t count, const std::function<void(size_t)>& job)
      : job_(job),
        count_(count),
        next_(first),
        done_(std::make_unique<std::atomic<bool>[]>(count)) {}

  // Runs the next job not yet taken; false when none is left.
  bool RunNext() {
    const size_t i = next_.fetch_add(1, std::memory_order_relaxed);
    if (i >= count_) return false;
    job_(i);
    done_[i].store(true, std::memory_order_release);
    done_[i].notify_one();
    return true;
  }
  void RunAll() {
    while (RunNext()) {
    }
  }
  // Returns once job i has finished, running other jobs meanwhile.
  void Await(size_t i) {
    while (!done_[i].load(std::memory_order_acquire)) {
      if (!RunNext()) done_[i].wait(false, std::memory_order_acquire);
    }
  }
  // Leaves no job for anybody to take.
  void Stop() { next_.store(count_, std::memory_order_relaxed); }

 private:
  const std::function<void(size_t)>& job_;
  const size_t count_;
  std::atomic<size_t> next_;
  std::unique_ptr<std::atomic<bool>[]> done_;
};

// The helper threads; joined however the calling thread leaves.
class Helpers {
 public:
  Helpers(SharedJobs& jobs, int threads) : jobs_(jobs) {
    for (int t = 1; t < threads; ++t) {
      try {
        threads_.emplace_back([&jobs] { jobs.RunAll(); });
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the others share the rest
      }
    }
  }
  ~Helpers() {
    jobs_.Stop();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  SharedJobs& jobs_;
  std::vector<std::thread> threads_;
};

}  // namespace

bool RunOverlapped(size_t count, const std::function<void(size_t)>& job,
                   const std::function<bool(size_t)>& consume, int threads) {
  size_t first = 0;
  if (threads <= 0) {
    // Nothing is consumed while the sample runs: what the first records cost
    // on the calling thread (a lock survey's first requests) must not hold
    // back the decision to share the rest.
    std::chrono::steady_clock::duration spent{};
    for (; first < std::min(count, kSampleJobs); ++first) {
      const auto start = std::chrono::steady_clock::now();
      job(first);
      spent += std::chrono::steady_clock::now() - start;
    }
    threads = first > 0 && spent / first > kWaitingJob ? kMaxScanThreads : 1;
  }
  SharedJobs jobs(first, count, job);
  const Helpers helpers(
      jobs, static_cast<int>(std::min<size_t>(std::min(threads, kMaxScanThreads), count - first)));
  for (size_t i = 0; i < count; ++i) {
    if (i >= first) jobs.Await(i);
    if (!consume(i)) return false;  // the helpers stop after the jobs they run
  }
  return true;
}

}  // namespace vexa::folder_list
