#include "vexafol/ui/centered_bitmap.h"

#include <QPainter>
#include <QPen>

namespace vexa {

CenteredPlacement PlaceCentered(int width, int height, const QRect& rect) {
  // Integer division truncates toward zero, as the placement is defined.
  CenteredPlacement place{rect.left() + (rect.width() - width) / 2,
                          rect.top() + (rect.height() - height) / 2, 0, height};
  if (height > rect.height()) {
    int excess = height - rect.height();
    excess += excess % 2;  // cut equally at top and bottom
    place.dh = height - excess;
    place.sy = excess / 2;
    place.y += excess / 2;
  }
  return place;
}

void DrawCenteredBitmap(QPainter& painter, const QImage& bitmap, const QRect& rect) {
  if (bitmap.isNull()) return;
  const CenteredPlacement place = PlaceCentered(bitmap.width(), bitmap.height(), rect);
  painter.save();
  painter.drawImage(QPoint(place.x, place.y), bitmap, QRect(0, place.sy, bitmap.width(), place.dh));
  QPen pen(Qt::black);
  pen.setWidth(2);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(place.x, place.y, bitmap.width(), place.dh));
  painter.restore();
}

}  // namespace vexa
