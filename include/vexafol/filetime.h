// FILETIME / SYSTEMTIME arithmetic and the user's date and time texts.
// Local time follows the process time zone (TZ) for the instant in question,
// daylight saving included.
#pragma once

#include <cstdint>
#include <string>

#include "vexafol/export.h"
#include "vexafol/types.h"

namespace vexa {

VEXA_CORE_API uint64_t FileTimeToU64(const FILETIME& ft);
VEXA_CORE_API FILETIME U64ToFileTime(uint64_t ticks);

// Seconds since 1970-01-01 UTC <-> FILETIME (UTC). Times before 1601 clamp to 0.
VEXA_CORE_API FILETIME UnixToFileTime(int64_t seconds);
VEXA_CORE_API int64_t FileTimeToUnix(const FILETIME& ft);

// -1, 0 or 1 as a is earlier than, equal to or later than b.
VEXA_CORE_API int CompareFileTime(const FILETIME& a, const FILETIME& b);

// Each returns 1 on success, 0 when the value is out of the representable range
// (the output is then left unchanged).
VEXA_CORE_API int FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local);
VEXA_CORE_API int LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc);
VEXA_CORE_API int FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st);
VEXA_CORE_API int SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft);

// The current time as a UTC FILETIME.
VEXA_CORE_API FILETIME CurrentFileTime();

// The user's short date ("2024/01/10" in ja_JP) and medium time ("9:05:03") for
// a calendar time, in UTF-8, from the locale of the environment (LC_TIME, LANG).
VEXA_CORE_API std::string FormatShortDate(const SYSTEMTIME& st);
VEXA_CORE_API std::string FormatTime(const SYSTEMTIME& st);

}  // namespace vexa
