// The centred bitmap drawing that the info panel's preview and the page
// sheets share: a picture unscaled and centred in a rectangle, framed.
#pragma once

#include <QImage>
#include <QRect>

#include "vexafol/export.h"

class QPainter;

namespace vexa {

// Where the centred bitmap drawing puts a bitmap of width x height into rect:
// the target corner (x, y), the first source row sy and the drawn height dh
// (the drawn width is always the bitmap's width). A bitmap taller than the
// rectangle is cut equally at top and bottom (the excess rounded up to an
// even number); it is never scaled, and a wider one is not cut (the painter
// clips it).
struct CenteredPlacement {
  int x;
  int y;
  int sy;
  int dh;
};
VEXA_UI_API CenteredPlacement PlaceCentered(int width, int height, const QRect& rect);

// Draws bitmap unscaled and centred in rect (PlaceCentered) and frames the
// drawn area with a solid black line 2 pixels wide. A null bitmap draws
// nothing. The painter's pen and brush are restored afterwards.
VEXA_UI_API void DrawCenteredBitmap(QPainter& painter, const QImage& bitmap, const QRect& rect);

}  // namespace vexa
