#include "select/ui/user_settings.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "vexafol/environ.h"

namespace vexa {

bool ReadUserInt(const CEnvironObj& env, const std::string& key, int& value) {
  std::string text;
  if (!env.GetUserDataStr(kUserSection, kUserSubSection, key, text)) return false;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), nullptr, 10);
  if (parsed > INT_MAX) {
    value = INT_MAX;
  } else if (parsed < INT_MIN) {
    value = INT_MIN;
  } else {
    value = static_cast<int>(parsed);
  }
  return true;
}

void WriteUserInt(const CEnvironObj& env, const std::string& key, int value) {
  env.SetUserDataStr(kUserSection, kUserSubSection, key, std::to_string(value));
}

namespace {

std::string ColumnWidthKey(int itemId) {
  return "COLWIDTH" + std::to_string(itemId);
}

}  // namespace

std::map<int, int> ReadColumnWidths(const CEnvironObj& env, int itemIds) {
  std::map<int, int> widths;
  for (int id = 0; id < itemIds; ++id) {
    int pixels = 0;
    if (ReadUserInt(env, ColumnWidthKey(id), pixels) && pixels > 0) widths[id] = pixels;
  }
  return widths;
}

void WriteColumnWidths(const CEnvironObj& env, const std::map<int, int>& widths, int itemIds) {
  for (int id = 0; id < itemIds; ++id) {
    const auto found = widths.find(id);
    const int pixels = found != widths.end() ? found->second : 0;
    // An item never dragged leaves no key behind.
    std::string stored;
    if (pixels == 0 &&
        !env.GetUserDataStr(kUserSection, kUserSubSection, ColumnWidthKey(id), stored)) {
      continue;
    }
    WriteUserInt(env, ColumnWidthKey(id), pixels);
  }
}

}  // namespace vexa
