#include "vexafol/utf8.h"

namespace vexa {

Utf8Char NextUtf8Char(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 1;
  if (at + length > text.size()) length = 1;
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k)
    code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  return {code, length};
}

bool IsHalfWidth(char32_t code) {
  return code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) || (code >= 0xFFE8 && code <= 0xFFEE);
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t at = 0; at < utf8.size();) {
    const Utf8Char c = NextUtf8Char(utf8, at);
    width += IsHalfWidth(c.code) ? 1 : 2;
    at += c.length;
  }
  return width;
}

std::string CutUtf8(const std::string& utf8, size_t limit) {
  if (utf8.size() <= limit) return utf8;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

}  // namespace vexa
