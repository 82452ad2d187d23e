#include "folderlist/overlapped.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace vexa::folder_list {
namespace {

// Jobs timed on the calling thread before the decision, and the mean time per
// job above which they are taken to wait on a server.
constexpr size_t kSampleJobs = 8;
constexpr std::chrono::microseconds kWaitingJob{100};

}  // namespace

void RunOverlapped(size_t count, const std::function<void(size_t)>& job, int threads) {
  size_t first = 0;
  if (threads <= 0) {
    const auto start = std::chrono::steady_clock::now();
    for (; first < std::min(count, kSampleJobs); ++first) job(first);
    const auto spent = std::chrono::steady_clock::now() - start;
    threads = first > 0 && spent / first > kWaitingJob ? kMaxScanThreads : 1;
  }
  threads = static_cast<int>(std::min<size_t>(std::min(threads, kMaxScanThreads), count - first));
  std::atomic<size_t> next{first};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) job(i);
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the others share the rest
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace vexa::folder_list
