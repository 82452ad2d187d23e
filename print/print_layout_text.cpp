// Text widths for the layout engine, measured as in a fixed-pitch Gothic face.
#include <string_view>

#include "vexafol/print_layout.h"

namespace vexa {
namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72;
constexpr double kSlack = 1e-9;

// The byte length of the UTF-8 character that starts at text[i] (1 for a
// stray byte, so that any input advances) and whether it is half-width.
size_t NextCharacter(std::string_view text, size_t i, bool& halfWidth) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 1;
  if (i + length > text.size()) length = 1;
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  // ASCII, half-width katakana and the half-width forms.
  halfWidth =
      code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) || (code >= 0xFFE8 && code <= 0xFFEE);
  return length;
}

}  // namespace

double MeasurePrintText(const std::string& text, double fontSize) {
  const double em = fontSize * kMillimetresPerPoint;
  double width = 0;
  for (size_t i = 0; i < text.size();) {
    bool halfWidth = false;
    i += NextCharacter(text, i, halfWidth);
    width += halfWidth ? em / 2 : em;
  }
  return width;
}

std::string CutPrintText(const std::string& text, double fontSize, double width) {
  const double em = fontSize * kMillimetresPerPoint;
  double used = 0;
  size_t i = 0;
  while (i < text.size()) {
    bool halfWidth = false;
    const size_t length = NextCharacter(text, i, halfWidth);
    used += halfWidth ? em / 2 : em;
    if (used > width + kSlack) break;
    i += length;
  }
  return text.substr(0, i);
}

}  // namespace vexa
