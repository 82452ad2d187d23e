// The search conditions of the drawing selection dialog and the test that
// decides whether one drawing meets them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"

namespace vexa {

// A plain record, copied by value; a new one is all zero and empty, so no
// condition applies. Texts are UTF-8; times are seconds since 1970 (UTC), 0
// meaning unset.
struct FindCriteria {
  int useNo = 0;
  int useName = 0;
  int useCreator = 0;
  int useUpdater = 0;
  int useCadType = 0;  // always 0; counts only as "some condition set"
  int useMemo = 0;
  int useCreated = 0;
  int useUpdated = 0;
  int noFrom = 0;  // drawing numbers as users see them (1 to 999)
  int noTo = 0;
  std::string name;
  std::string creator;
  std::string updater;
  int cadType = 0;   // always 0
  std::string memo;  // lines separated by "\r\n"
  int64_t createdFrom = 0;
  int64_t createdTo = 0;
  int64_t updatedFrom = 0;
  int64_t updatedTo = 0;
};

// True when member meets every condition whose flag is set; a null member never
// matches. env resolves the drawing number (GetFolderNo).
// - number: from >= to requires the number to equal noFrom, else from <= n <= to;
// - name: `name` occurs in the title (case-sensitive, whole characters; empty matches);
// - creator / updater: equal to the header's text;
// - creation / update date: the local calendar day of the drawing's time lies
//   within the local days of the two bounds, both included; a time or bound that
//   cannot be converted lets the condition pass;
// - memo: every non-empty "\r\n"-separated line occurs in the drawing's memo.
VEXA_CORE_API bool Matches(const FindCriteria& criteria, const CEnvironObj& env,
                           const FolMember* member);

// The criteria time that stands for a local calendar day (years 1601 to
// 9999): the day's local noon, clear of any change of daylight saving time at
// midnight. None for a day that does not exist.
VEXA_CORE_API std::optional<int64_t> LocalDayTime(int year, int month, int day);

}  // namespace vexa
