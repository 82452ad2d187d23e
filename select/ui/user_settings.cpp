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

}  // namespace vexa
