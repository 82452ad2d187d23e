#include "tools/output_text.h"

#include <cstdio>
#include <ctime>

#include "vexafol/filetime.h"

namespace vexa::tool {
namespace {

// Length of the valid UTF-8 sequence at text[at], or 0 when the byte there
// does not start one (stray trail byte, overlong form, surrogate, beyond
// U+10FFFF, or cut short).
size_t Utf8SequenceAt(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

void AppendEscape(std::string& out, const char* format, unsigned value) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, format, value);
  out += escaped;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0 || c < 0x20 || c == 0x7F) {
      AppendEscape(out, "\\x%02x", c);
      ++i;
    } else if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      AppendEscape(out, "\\u%04x", static_cast<unsigned char>(text[i + 1]));  // C1 control
      i += length;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0) {
      AppendEscape(out, "\\u%04x", 0xDC00u + c);
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      AppendEscape(out, "\\u%04x", c);
    } else {
      out.append(text, i, length);
    }
    i += length;
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
