#include "tools/columns.h"

namespace vexa::tool {

size_t DisplayWidth(const std::string& utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;
    // Half-width katakana U+FF61..U+FF9F are EF BD A1..EF BE 9F.
    const bool halfWidth = c == 0xEF && i + 2 < utf8.size() &&
                           ((static_cast<unsigned char>(utf8[i + 1]) == 0xBD &&
                             static_cast<unsigned char>(utf8[i + 2]) >= 0xA1) ||
                            static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
    width += c < 0x80 || halfWidth ? 1 : 2;
  }
  return width;
}

std::string PadToColumns(const std::string& utf8, size_t columns) {
  const size_t width = DisplayWidth(utf8);
  return utf8 + std::string(width < columns ? columns - width : 0, ' ');
}

}  // namespace vexa::tool
