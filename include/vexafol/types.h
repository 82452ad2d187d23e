// Windows value types that the store formats and the public interface carry.
#pragma once

#include <cstdint>

namespace vexa {

// 100-nanosecond intervals since 1601-01-01, low word first (the on-disk layout).
struct FILETIME {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// A broken-down calendar time; wDayOfWeek counts from Sunday = 0.
struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};

// 0x00BBGGRR.
using COLORREF = unsigned long;

}  // namespace vexa
