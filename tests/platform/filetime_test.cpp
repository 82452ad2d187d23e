#include "vexafol/filetime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace vexa {
namespace {

constexpr uint64_t kTicksPerHour = 3600 * 10'000'000ULL;

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return SYSTEMTIME{static_cast<uint16_t>(y), static_cast<uint16_t>(mo), 0,
                    static_cast<uint16_t>(d), static_cast<uint16_t>(h),  static_cast<uint16_t>(mi),
                    static_cast<uint16_t>(s), static_cast<uint16_t>(ms)};
}

uint64_t Ticks(const SYSTEMTIME& st) {
  FILETIME ft{};
  EXPECT_EQ(SystemTimeToFileTime(st, ft), 1);
  return FileTimeToU64(ft);
}

TEST(FileTime, SystemTimeConversionsAtTheEdges) {
  EXPECT_EQ(Ticks(Make(1601, 1, 1)), 0u);
  EXPECT_EQ(Ticks(Make(1970, 1, 1)), 116444736000000000u);
  EXPECT_EQ(Ticks(Make(2024, 2, 29, 23, 59, 59, 999)),
            FileTimeToU64(UnixToFileTime(1709251199)) + 999 * 10'000u);

  SYSTEMTIME st{};
  ASSERT_EQ(FileTimeToSystemTime(UnixToFileTime(1704845103), st), 1);  // 2024-01-10 00:05:03 UTC
  EXPECT_EQ(st.wDayOfWeek, 3);                                         // Wednesday
  // The last accepted value, and the first refused one (output untouched).
  ASSERT_EQ(FileTimeToSystemTime(U64ToFileTime(0x7FFFFFFFFFFFFFFFULL), st), 1);
  EXPECT_EQ(st.wYear, 30828);
  EXPECT_EQ(st.wMilliseconds, 477);
  SYSTEMTIME untouched = Make(2000, 1, 1);
  EXPECT_EQ(FileTimeToSystemTime(U64ToFileTime(0x8000000000000000ULL), untouched), 0);
  EXPECT_EQ(untouched.wYear, 2000);

  // Round trip through a leap day; the given wDayOfWeek is ignored.
  SYSTEMTIME leap = Make(2000, 2, 29, 13, 14, 15, 16);
  leap.wDayOfWeek = 6;
  ASSERT_EQ(FileTimeToSystemTime(U64ToFileTime(Ticks(leap)), st), 1);
  EXPECT_EQ(st.wMilliseconds, 16);
  EXPECT_EQ(st.wDayOfWeek, 2);  // Tuesday
}

TEST(FileTime, SystemTimeToFileTimeRefusesInvalidFields) {
  const SYSTEMTIME invalid[] = {
      Make(1600, 12, 31), Make(30828, 1, 1),    Make(2023, 2, 29),
      Make(1900, 2, 29),  Make(2024, 13, 1),    Make(2024, 4, 31),
      Make(2024, 1, 0),   Make(2024, 1, 1, 24), Make(2024, 1, 1, 0, 0, 0, 1000)};
  for (const SYSTEMTIME& st : invalid) {
    FILETIME ft{1, 2};
    EXPECT_EQ(SystemTimeToFileTime(st, ft), 0) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
    EXPECT_EQ(ft.dwLowDateTime, 1u);
  }
}

TEST(FileTime, UnixConversionAndComparison) {
  EXPECT_EQ(FileTimeToUnix(UnixToFileTime(1704845103)), 1704845103);
  EXPECT_EQ(FileTimeToU64(UnixToFileTime(-11644473600 - 5)), 0u);  // before 1601
  EXPECT_EQ(FileTimeToU64(UnixToFileTime(INT64_MAX)), UINT64_MAX);
  // The high word decides before the low word.
  EXPECT_EQ(CompareFileTime(FILETIME{0xFFFFFFFF, 1}, FILETIME{0, 2}), -1);
  const int64_t before = std::time(nullptr);
  const int64_t now = FileTimeToUnix(CurrentFileTime());
  // time() reads a coarse clock that may still show the previous second
  // when the precise clock has already moved on.
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr) + 1);
}

TEST(FileTime, LocalTimeFollowsTheZoneOfTheInstant) {
  FILETIME local{}, back{};
  // Shifting below 1601 or past the end of the range fails.
  EXPECT_EQ(LocalFileTimeToFileTime(U64ToFileTime(kTicksPerHour), back), 0);
  EXPECT_EQ(FileTimeToLocalFileTime(U64ToFileTime(UINT64_MAX - kTicksPerHour), local), 0);

  struct InBerlin {  // the tests' own zone is back even when an assertion fails
    InBerlin() {
      setenv("TZ", "Europe/Berlin", 1);
      tzset();
    }
    ~InBerlin() {
      setenv("TZ", "Asia/Tokyo", 1);
      tzset();
    }
  } berlin;
  // Winter +1 h, summer +2 h: the offset of the instant, not of today.
  ASSERT_EQ(FileTimeToLocalFileTime(U64ToFileTime(Ticks(Make(2024, 1, 15, 12))), local), 1);
  EXPECT_EQ(FileTimeToU64(local), Ticks(Make(2024, 1, 15, 13)));
  ASSERT_EQ(LocalFileTimeToFileTime(U64ToFileTime(Ticks(Make(2024, 7, 15, 14))), back), 1);
  EXPECT_EQ(FileTimeToU64(back), Ticks(Make(2024, 7, 15, 12)));
  // 02:30 on 27 Oct 2024 happens twice: the first (summer-time) one is taken.
  ASSERT_EQ(LocalFileTimeToFileTime(U64ToFileTime(Ticks(Make(2024, 10, 27, 2, 30))), back), 1);
  EXPECT_EQ(FileTimeToU64(back), Ticks(Make(2024, 10, 27, 0, 30)));
  // 02:30 on 31 Mar 2024 does not exist: read with the winter offset (03:30 CEST).
  ASSERT_EQ(LocalFileTimeToFileTime(U64ToFileTime(Ticks(Make(2024, 3, 31, 2, 30))), back), 1);
  EXPECT_EQ(FileTimeToU64(back), Ticks(Make(2024, 3, 31, 1, 30)));
}

TEST(FileTime, FormatsShortDateAndMediumTimeOfTheLocale) {
  EXPECT_EQ(FormatShortDate(Make(2024, 1, 10, 9, 5, 3)), "2024/01/10");
  EXPECT_EQ(FormatTime(Make(2024, 1, 10, 9, 5, 3)), "9:05:03");
  // Each text checks only its own fields.
  EXPECT_EQ(FormatShortDate(Make(2024, 2, 30)), "");
  EXPECT_EQ(FormatTime(Make(2024, 1, 1, 25)), "");
  // LC_ALL outranks LC_TIME and LANG; the formatters follow a change.
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  EXPECT_EQ(FormatShortDate(Make(2024, 1, 10)), "10.01.24");
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(FormatShortDate(Make(2024, 1, 10)), "2024/01/10");
}

}  // namespace
}  // namespace vexa
