// Text widths for the layout engine, measured as in a fixed-pitch Gothic face.
#include "vexafol/print_layout.h"
#include "vexafol/utf8.h"

namespace vexa {
namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72;
constexpr double kSlack = 1e-9;

}  // namespace

double MeasurePrintText(const std::string& text, double fontSize) {
  const double em = fontSize * kMillimetresPerPoint;
  double width = 0;
  for (size_t i = 0; i < text.size();) {
    const Utf8Char c = NextUtf8Char(text, i);
    width += IsHalfWidth(c.code) ? em / 2 : em;
    i += c.length;
  }
  return width;
}

std::string CutPrintText(const std::string& text, double fontSize, double width) {
  const double em = fontSize * kMillimetresPerPoint;
  double used = 0;
  size_t i = 0;
  while (i < text.size()) {
    const Utf8Char c = NextUtf8Char(text, i);
    used += IsHalfWidth(c.code) ? em / 2 : em;
    if (used > width + kSlack) break;
    i += c.length;
  }
  return text.substr(0, i);
}

}  // namespace vexa
