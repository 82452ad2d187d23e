#include "tools/search_options.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace vexa::tool {
namespace {

// "YYYY-MM-DD" as the criteria time of that local day.
bool ParseDay(const std::string& text, int64_t& seconds) {
  int year = 0, month = 0, mday = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &mday, &rest) != 3) return false;
  const std::optional<int64_t> day = LocalDayTime(year, month, mday);
  if (!day) return false;
  seconds = *day;
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

}  // namespace

bool ReadSearchOptions(const Args& args, FindCriteria& criteria, std::string& error) {
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

bool HasSearchOptions(const Args& args) {
  for (const std::string& option : kSearchOptions)
    if (args.Has(option)) return true;
  return false;
}

}  // namespace vexa::tool
