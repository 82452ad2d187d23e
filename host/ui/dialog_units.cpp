#include "vexafol/ui/dialog_units.h"

#include <QFontMetrics>

namespace vexa {
namespace {

// MulDiv(value, numerator, denominator) rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace

QSize DialogBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return QSize((letters / 26 + 1) / 2, metrics.height());
}

int DluToPixelsX(const QSize& baseUnits, int dlu) {
  return ScaleRounded(dlu, baseUnits.width(), 4);
}

int DluToPixelsY(const QSize& baseUnits, int dlu) {
  return ScaleRounded(dlu, baseUnits.height(), 8);
}

QRect DluToPixels(const QSize& baseUnits, int x, int y, int width, int height) {
  return QRect(DluToPixelsX(baseUnits, x), DluToPixelsY(baseUnits, y),
               DluToPixelsX(baseUnits, width), DluToPixelsY(baseUnits, height));
}

}  // namespace vexa
