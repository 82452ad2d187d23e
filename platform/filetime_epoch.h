// FILETIME counts 100-nanosecond ticks since 1601-01-01 UTC; the system's
// clock counts seconds since 1970-01-01 UTC.
#pragma once

#include <cstdint>

namespace vexa::platform {

inline constexpr int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

}  // namespace vexa::platform
