#include "vexafol/findcriteria.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "vexafol/filetime.h"
#include "vexafol/text.h"

namespace vexa {
namespace {

bool NumberMatches(const FindCriteria& criteria, int number) {
  // A reversed range names just its first number.
  if (criteria.noFrom >= criteria.noTo) return number == criteria.noFrom;
  return criteria.noFrom <= number && number <= criteria.noTo;
}

// Both texts are UTF-8, whose lead bytes never occur inside a character, so a
// match found bytewise always starts and ends on whole characters.
bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// Length of the UTF-8 character that starts with lead (1 for a stray byte).
size_t CharacterLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The condition as the store would read it back: every character that CP932
// can hold becomes the character its CP932 code decodes to, converted the way
// Windows converts (best-fit mappings included). So 〜 (U+301C) and − (U+2212),
// which Japanese input methods on Linux type, find the ～ and － that a Windows
// user typed: the store keeps both as the same bytes (0x8160, 0x817C).
// Characters without a CP932 form stay as they are and match nothing stored.
// Conditions repeat for every drawing of a list: each is converted once.
const std::string& InStoreSpelling(const std::string& utf8) {
  thread_local std::map<std::string, std::string> spelled;
  if (spelled.size() > 64) spelled.clear();  // only the conditions in use
  auto [entry, added] = spelled.try_emplace(utf8);
  if (!added) return entry->second;
  std::string cp932;
  for (size_t i = 0; i < utf8.size();) {
    const size_t length =
        std::min(CharacterLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    const std::string_view character(utf8.data() + i, length);
    entry->second += Utf8ToCp932(character, cp932) ? Cp932ToUtf8(cp932) : std::string(character);
    i += length;
  }
  return entry->second;
}

bool MemoMatches(const std::string& lines, const std::string& memo) {
  constexpr std::string_view kLineBreak = "\r\n";
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find(kLineBreak, start);
    if (end == std::string::npos) end = lines.size();
    const std::string_view line(lines.data() + start, end - start);
    if (!line.empty() && !Contains(memo, line)) return false;
    start = end + kLineBreak.size();
  }
  return true;
}

// A local calendar time read as local time, as a UTC file time.
bool LocalToUtc(const SYSTEMTIME& local, FILETIME& utc) {
  FILETIME localTime;
  return SystemTimeToFileTime(local, localTime) != 0 &&
         LocalFileTimeToFileTime(localTime, utc) != 0;
}

// The local calendar time of seconds since 1970; all zero when not convertible.
SYSTEMTIME LocalCalendarTime(int64_t seconds) {
  SYSTEMTIME calendar{};
  FILETIME local;
  if (FileTimeToLocalFileTime(UnixToFileTime(seconds), local) == 0 ||
      FileTimeToSystemTime(local, calendar) == 0) {
    return SYSTEMTIME{};
  }
  return calendar;
}

// The first (lower) or last (upper) millisecond of the bound's local day.
// From the first field out of range on, the fields keep the extreme date
// 0001-01-01 (lower) or 9999-12-31 (upper).
bool DayBound(int64_t seconds, bool upper, FILETIME& utc) {
  const SYSTEMTIME day = LocalCalendarTime(seconds);
  SYSTEMTIME bound =
      upper ? SYSTEMTIME{9999, 12, 0, 31, 23, 59, 59, 999} : SYSTEMTIME{1, 1, 0, 1, 0, 0, 0, 0};
  if (day.wYear >= 1 && day.wYear <= 9999) {
    bound.wYear = day.wYear;
    if (day.wMonth >= 1 && day.wMonth <= 12) {
      bound.wMonth = day.wMonth;
      if (day.wDay >= 1 && day.wDay <= 31) bound.wDay = day.wDay;
    }
  }
  return LocalToUtc(bound, utc);
}

// memberTime is the drawing's local calendar time (all zero when the member
// could not convert it). Whatever cannot be converted lets the condition pass.
bool DateMatches(const SYSTEMTIME& memberTime, int64_t from, int64_t to) {
  FILETIME time, first, last;
  if (!LocalToUtc(memberTime, time) || !DayBound(from, false, first) || !DayBound(to, true, last)) {
    return true;
  }
  return CompareFileTime(time, first) >= 0 && CompareFileTime(time, last) <= 0;
}

}  // namespace

bool Matches(const FindCriteria& criteria, const CEnvironObj& env, const FolMember* member) {
  if (member == nullptr) return false;
  const VexaFileHeader& header = member->header;
  if (criteria.useNo && !NumberMatches(criteria, member->GetDrawingNo(env))) return false;
  if (criteria.useName && !Contains(header.Title(), InStoreSpelling(criteria.name))) return false;
  if (criteria.useCreator && header.Creator() != InStoreSpelling(criteria.creator)) return false;
  if (criteria.useUpdater && header.Updater() != InStoreSpelling(criteria.updater)) return false;
  if (criteria.useCreated) {
    SYSTEMTIME created{};
    member->GetCreateSysTime(created);
    if (!DateMatches(created, criteria.createdFrom, criteria.createdTo)) return false;
  }
  if (criteria.useUpdated) {
    SYSTEMTIME updated{};
    member->GetUpdateSysTime(updated);
    if (!DateMatches(updated, criteria.updatedFrom, criteria.updatedTo)) return false;
  }
  if (criteria.useMemo && !MemoMatches(InStoreSpelling(criteria.memo), header.Memo())) return false;
  return true;
}

std::optional<int64_t> LocalDayTime(int year, int month, int day) {
  if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
    return std::nullopt;
  }
  SYSTEMTIME noon{};
  noon.wYear = static_cast<uint16_t>(year);
  noon.wMonth = static_cast<uint16_t>(month);
  noon.wDay = static_cast<uint16_t>(day);
  noon.wHour = 12;
  FILETIME utc;
  if (!LocalToUtc(noon, utc)) return std::nullopt;
  return FileTimeToUnix(utc);
}

}  // namespace vexa
