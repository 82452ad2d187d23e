#include "tools/json_text.h"

#include <cstdio>
#include <ctime>

#include "vexafol/filetime.h"

namespace vexa::tool {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string IsoTime(const FILETIME& time) {
  const time_t seconds = static_cast<time_t>(FileTimeToUnix(time));
  struct tm utc {};
  if (!gmtime_r(&seconds, &utc)) return "";
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace vexa::tool
