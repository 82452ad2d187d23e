// The list's choice of drawings: options of the tool, read once for every
// command that shows or prints the grid's records.
#include "tools/list_choice.h"

#include <cstdio>
#include <ctime>

namespace vexa::tool {
namespace {

// "YYYY-MM-DD" as seconds at noon of that local day (the search compares days).
bool ParseDay(const std::string& text, int64_t& seconds) {
  struct tm day {};
  int year = 0, month = 0, mday = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &mday, &rest) != 3) return false;
  if (month < 1 || month > 12 || mday < 1 || mday > 31 || year < 1601 || year > 9999) return false;
  day.tm_year = year - 1900;
  day.tm_mon = month - 1;
  day.tm_mday = mday;
  day.tm_hour = 12;
  day.tm_isdst = -1;
  seconds = static_cast<int64_t>(mktime(&day));
  return true;
}

// "FROM..TO", "FROM..", "..TO" or one day for both ends.
bool ParseDays(const std::string& text, int64_t& from, int64_t& to) {
  const size_t dots = text.find("..");
  const std::string first = dots == std::string::npos ? text : text.substr(0, dots);
  const std::string second = dots == std::string::npos ? text : text.substr(dots + 2);
  if (first.empty() && second.empty()) return false;
  if (!ParseDay(first.empty() ? "1601-01-01" : first, from)) return false;
  return ParseDay(second.empty() ? "9999-12-30" : second, to);
}

// "FROM-TO" or one number.
bool ParseNumbers(const std::string& text, int& from, int& to) {
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d%c", &from, &to, &rest) == 2) return true;
  if (std::sscanf(text.c_str(), "%d%c", &from, &rest) == 1) {
    to = from;
    return true;
  }
  return false;
}

bool ReadCriteria(Args& args, FindCriteria& criteria, std::string& error) {
  if (auto text = args.Value("no")) {
    criteria.useNo = 1;
    if (!ParseNumbers(*text, criteria.noFrom, criteria.noTo)) error = "--no wants FROM-TO";
  }
  auto text = [&](const char* option, int& use, std::string& field) {
    if (auto value = args.Value(option)) {
      use = 1;
      field = *value;
    }
  };
  text("name", criteria.useName, criteria.name);
  text("creator", criteria.useCreator, criteria.creator);
  text("updater", criteria.useUpdater, criteria.updater);
  for (const std::string& line : args.Values("memo")) {
    criteria.useMemo = 1;
    criteria.memo += line + "\r\n";
  }
  if (auto days = args.Value("created")) {
    criteria.useCreated = 1;
    if (!ParseDays(*days, criteria.createdFrom, criteria.createdTo))
      error = "--created wants YYYY-MM-DD..YYYY-MM-DD";
  }
  if (auto days = args.Value("updated")) {
    criteria.useUpdated = 1;
    if (!ParseDays(*days, criteria.updatedFrom, criteria.updatedTo))
      error = "--updated wants YYYY-MM-DD..YYYY-MM-DD";
  }
  return error.empty();
}

}  // namespace

bool ReadListChoice(Args& args, ListChoice& choice, std::string& error) {
  choice.app = args.Number("app");
  const std::optional<long> sortType = args.Number("sort");
  const std::optional<long> sortDir = args.Number("dir");
  if (!args.ok()) {
    error = args.error();
    return false;
  }
  if (sortType && (*sortType < 0 || *sortType > 8)) {
    error = "--sort wants a type 0 to 8";
    return false;
  }
  if (sortDir && (*sortDir < -1 || *sortDir > 1)) {
    error = "--dir wants -1, 0 or 1";
    return false;
  }
  if (sortType) choice.sortType = static_cast<int>(*sortType);
  if (sortDir) choice.sortDir = static_cast<int>(*sortDir);
  return ReadCriteria(args, choice.criteria, error);
}

std::vector<const FolMember*> ChosenMembers(const CEnvironObj& env, VexaFolderList& list,
                                            const ListChoice& choice) {
  list.SetSortType(choice.sortType, choice.sortDir);
  std::vector<const FolMember*> members;
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const FolMember* member = list.GetSortedFolderMember(i);
    if (Matches(choice.criteria, env, member)) members.push_back(member);
  }
  return members;
}

}  // namespace vexa::tool
