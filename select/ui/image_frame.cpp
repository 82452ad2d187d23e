#include "vexafol/ui/image_frame.h"

#include <QPainter>
#include <QPen>

#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr COLORREF kNoDrawingColor = 0x808080;

QColor FromColorRef(COLORREF color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QPen FramePen() {
  QPen pen(Qt::black);
  pen.setWidth(2);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

}  // namespace

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
  painter.setPen(FramePen());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(place.x, place.y, bitmap.width(), place.dh));
  painter.restore();
}

ImageFrame::ImageFrame(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

unsigned long ImageFrame::BackgroundColor() const {
  // GetSenyouColor answers white for an id the table does not know.
  return appId_ == 0 ? kNoDrawingColor : GetSenyouColor(appId_);
}

void ImageFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(FramePen());
  painter.setBrush(FromColorRef(BackgroundColor()));
  // The 2-pixel line lies inside the window.
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
  DrawCenteredBitmap(painter, bitmap_, rect());
}

}  // namespace vexa
