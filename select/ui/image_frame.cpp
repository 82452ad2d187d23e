#include "vexafol/ui/image_frame.h"

#include <QPainter>
#include <QPen>

#include "host/ui/color_ref.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr COLORREF kNoDrawingColor = 0x808080;

QPen FramePen() {
  QPen pen(Qt::black);
  pen.setWidth(2);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

}  // namespace

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
  painter.setBrush(ToQColor(BackgroundColor()));
  // The 2-pixel line lies inside the window.
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
  DrawCenteredBitmap(painter, bitmap_, rect());
}

}  // namespace vexa
