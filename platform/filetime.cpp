// FILETIME / SYSTEMTIME arithmetic with the Windows rules, local time from the
// process time zone, and the user's date and time texts through ICU.
#include "vexafol/filetime.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <optional>

#include "platform/filetime_epoch.h"

namespace vexa {
namespace {

using platform::kTicksPerSecond;
constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kSecondsPerDay = 86'400;
constexpr int64_t kUnixEpochSeconds = platform::kSecondsFrom1601To1970;
// FileTimeToSystemTime refuses values with the top bit set.
constexpr uint64_t kFirstInvalidTicks = 0x8000000000000000ULL;
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  return {static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

bool IsLeapYear(unsigned year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const SYSTEMTIME& st) {
  return st.wYear >= kFirstYear && st.wYear <= kLastYear && st.wMonth >= 1 && st.wMonth <= 12 &&
         st.wDay >= 1 && st.wDay <= DaysInMonth(st.wYear, st.wMonth);
}

bool IsValidTime(const SYSTEMTIME& st) {
  return st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

// Seconds since 1970 (floored) of a tick count since 1601.
int64_t UnixSecondsOf(uint64_t ticks) {
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kUnixEpochSeconds;
}

// Offset of local time from UTC, in seconds, at a UTC instant.
std::optional<int64_t> UtcOffsetAt(int64_t unixSeconds) {
  const time_t instant = static_cast<time_t>(unixSeconds);
  struct tm local {};
  if (!localtime_r(&instant, &local)) return std::nullopt;
  return local.tm_gmtoff;
}

// ticks + offsetSeconds, or nothing when that leaves the FILETIME range.
std::optional<uint64_t> ShiftTicks(uint64_t ticks, int64_t offsetSeconds) {
  const int64_t delta = offsetSeconds * kTicksPerSecond;
  if (delta < 0 && ticks < static_cast<uint64_t>(-delta)) return std::nullopt;
  if (delta > 0 && ticks > std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(delta)) {
    return std::nullopt;
  }
  return ticks + static_cast<uint64_t>(delta);
}

// The UTC offset that turns a local wall-clock time into an instant. Offsets in
// force a day before and a day after are the candidates; one is right when the
// instant it gives really has that offset. When both are (the repeated hour at
// the end of daylight saving), the earlier instant wins; when neither is (the
// skipped hour at its start), the offset from before the change is used.
std::optional<int64_t> OffsetForLocalTime(int64_t localSeconds) {
  const auto before = UtcOffsetAt(localSeconds - kSecondsPerDay);
  const auto after = UtcOffsetAt(localSeconds + kSecondsPerDay);
  if (!before || !after) return std::nullopt;
  const bool beforeFits = UtcOffsetAt(localSeconds - *before) == before;
  const bool afterFits = UtcOffsetAt(localSeconds - *after) == after;
  if (beforeFits && afterFits) return std::max(*before, *after);  // larger offset, earlier instant
  if (afterFits) return after;
  return before;
}

// Locale name from LC_ALL, LC_TIME or LANG without codeset and modifier; ""
// for none, "C" or "POSIX" (ICU's default locale is used then).
std::string EnvironmentLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (!value || !*value) continue;
    std::string name(value);
    name = name.substr(0, name.find_first_of(".@"));
    return name == "C" || name == "POSIX" ? std::string() : name;
  }
  return {};
}

// Short-date and medium-time formatters of the environment's locale, built once
// and rebuilt only when the locale changes. They format in GMT because a
// SYSTEMTIME is already the wall-clock time to show.
struct DateTimeFormats {
  std::string localeName;
  std::unique_ptr<icu::DateFormat> date;
  std::unique_ptr<icu::DateFormat> time;
};

DateTimeFormats& Formats() {
  thread_local DateTimeFormats formats;
  const std::string name = EnvironmentLocaleName();
  if (!formats.date || !formats.time || name != formats.localeName) {
    const icu::Locale locale = name.empty() ? icu::Locale::getDefault() : icu::Locale(name.c_str());
    formats.localeName = name;
    formats.date.reset(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale));
    formats.time.reset(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, locale));
    for (auto* format : {formats.date.get(), formats.time.get()}) {
      if (format) format->setTimeZone(*icu::TimeZone::getGMT());
    }
  }
  return formats;
}

std::string Format(icu::DateFormat* format, const SYSTEMTIME& st) {
  if (!format) return {};
  const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
  const int64_t seconds = days * kSecondsPerDay + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  const UDate instant = static_cast<UDate>(seconds * 1000 + st.wMilliseconds);
  icu::UnicodeString text;
  format->format(instant, text);
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

}  // namespace

uint64_t FileTimeToU64(const FILETIME& ft) {
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME U64ToFileTime(uint64_t ticks) {
  return {static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

FILETIME UnixToFileTime(int64_t seconds) {
  constexpr uint64_t kMaxTicks = std::numeric_limits<uint64_t>::max();
  if (seconds <= -kUnixEpochSeconds) return U64ToFileTime(0);
  if (seconds > static_cast<int64_t>(kMaxTicks / kTicksPerSecond) - kUnixEpochSeconds) {
    return U64ToFileTime(kMaxTicks);
  }
  return U64ToFileTime(static_cast<uint64_t>(seconds + kUnixEpochSeconds) * kTicksPerSecond);
}

int64_t FileTimeToUnix(const FILETIME& ft) {
  return UnixSecondsOf(FileTimeToU64(ft));
}

int CompareFileTime(const FILETIME& a, const FILETIME& b) {
  const uint64_t x = FileTimeToU64(a);
  const uint64_t y = FileTimeToU64(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

int FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local) {
  const uint64_t ticks = FileTimeToU64(utc);
  const auto offset = UtcOffsetAt(UnixSecondsOf(ticks));
  if (!offset) return 0;
  const auto shifted = ShiftTicks(ticks, *offset);
  if (!shifted) return 0;
  local = U64ToFileTime(*shifted);
  return 1;
}

int LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc) {
  const uint64_t ticks = FileTimeToU64(local);
  const auto offset = OffsetForLocalTime(UnixSecondsOf(ticks));
  if (!offset) return 0;
  const auto shifted = ShiftTicks(ticks, -*offset);
  if (!shifted) return 0;
  utc = U64ToFileTime(*shifted);
  return 1;
}

int FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st) {
  const uint64_t ticks = FileTimeToU64(ft);
  if (ticks >= kFirstInvalidTicks) return 0;
  const uint64_t ticksPerDay = kSecondsPerDay * kTicksPerSecond;
  const auto daysSince1601 = static_cast<int64_t>(ticks / ticksPerDay);
  const uint64_t ticksOfDay = ticks % ticksPerDay;
  const CivilDate date = CivilFromDays(daysSince1601 - kUnixEpochSeconds / kSecondsPerDay);
  const uint64_t secondsOfDay = ticksOfDay / kTicksPerSecond;
  st.wYear = static_cast<uint16_t>(date.year);
  st.wMonth = static_cast<uint16_t>(date.month);
  st.wDay = static_cast<uint16_t>(date.day);
  st.wDayOfWeek = static_cast<uint16_t>((daysSince1601 + 1) % 7);  // 1601-01-01 was a Monday
  st.wHour = static_cast<uint16_t>(secondsOfDay / 3600);
  st.wMinute = static_cast<uint16_t>(secondsOfDay / 60 % 60);
  st.wSecond = static_cast<uint16_t>(secondsOfDay % 60);
  st.wMilliseconds = static_cast<uint16_t>(ticksOfDay % kTicksPerSecond / kTicksPerMillisecond);
  return 1;
}

int SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
  if (!IsValidDate(st) || !IsValidTime(st)) return 0;
  const int64_t daysSince1601 =
      DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kUnixEpochSeconds / kSecondsPerDay;
  const int64_t seconds =
      daysSince1601 * kSecondsPerDay + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  ft = U64ToFileTime(static_cast<uint64_t>(seconds) * kTicksPerSecond +
                     st.wMilliseconds * static_cast<uint64_t>(kTicksPerMillisecond));
  return 1;
}

FILETIME CurrentFileTime() {
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  const FILETIME seconds = UnixToFileTime(now.tv_sec);
  return U64ToFileTime(FileTimeToU64(seconds) + static_cast<uint64_t>(now.tv_nsec / 100));
}

std::string FormatShortDate(const SYSTEMTIME& st) {
  return IsValidDate(st) ? Format(Formats().date.get(), st) : std::string();
}

std::string FormatTime(const SYSTEMTIME& st) {
  if (!IsValidTime(st)) return {};
  SYSTEMTIME timeOnly = st;  // the date plays no part in a time text
  timeOnly.wYear = 2000;
  timeOnly.wMonth = 1;
  timeOnly.wDay = 1;
  return Format(Formats().time.get(), timeOnly);
}

}  // namespace vexa
