// Dialog units, the coordinates of dialog templates, converted to pixels the
// way Windows does it: from the average character width and the height of the
// dialog's font. One horizontal unit is a quarter of the average character
// width, one vertical unit an eighth of the character height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "vexafol/export.h"

namespace vexa {

// Base units of a font: width = average width of the 52 ASCII letters, rounded
// to the nearest pixel; height = the font's line height (ascent + descent).
VEXA_UI_API QSize DialogBaseUnits(const QFont& font);

// Horizontal and vertical dialog units to pixels (rounded to nearest, as
// MulDiv does). Negative values convert symmetrically.
VEXA_UI_API int DluToPixelsX(const QSize& baseUnits, int dlu);
VEXA_UI_API int DluToPixelsY(const QSize& baseUnits, int dlu);

// A template rectangle (x, y, width, height in dialog units) in pixels.
VEXA_UI_API QRect DluToPixels(const QSize& baseUnits, int x, int y, int width, int height);

}  // namespace vexa
