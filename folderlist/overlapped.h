// Runs the independent requests of one scan so that, on a file system where
// each request waits for a server (a network share), many are in flight at
// once, while on a local disk they stay on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

namespace vexa::folder_list {

// Threads a scan may use at most, the calling thread included.
constexpr int kMaxScanThreads = 16;

// Runs job(0) to job(count - 1), each at most once, and consume(i) on the
// calling thread for i = 0, 1, ... in order, each after job(i) has finished.
// When consume answers false no further job starts and RunOverlapped answers
// false once the jobs already running have ended; otherwise every job runs
// and it answers true. threads <= 0: the first jobs run on the calling thread;
// when they show that each job waits (a mean above a tenth of a millisecond,
// far above what a local disk needs), the rest are shared with up to
// kMaxScanThreads - 1 threads that live only during this call, while the
// calling thread consumes finished jobs in order (and runs jobs itself when
// the next one to consume has not started). threads > 0 fixes the number of
// threads instead (1: all on the calling thread). job must be safe to run for
// different indexes at once, must not throw and must not call the host
// environment (CEnvironObj), which is used only from the calling thread.
bool RunOverlapped(size_t count, const std::function<void(size_t)>& job,
                   const std::function<bool(size_t)>& consume, int threads = 0);

}  // namespace vexa::folder_list
