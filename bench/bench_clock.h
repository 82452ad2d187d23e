// The two clocks the benchmarks read: the process's CPU time (user and
// system), for local figures on a shared machine, and the wall clock, for
// figures on a share played by delays.
#pragma once

#include <time.h>

#include <chrono>

namespace vexa::bench {

inline double CpuMs() {
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

inline double WallMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace vexa::bench
