#include "page/ui/cell_painting.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "vexafol/ui/resource_ids.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

constexpr int kLineWidth = 2;
constexpr int kFontPixels = 12;
// Space between a box line and the left-aligned text inside it, in pixels.
constexpr int kTextInset = 3;

}  // namespace

CellEdges BeginCellPainting(QPainter& painter, const QRect& rect) {
  QFont font = DialogFont(kFacePGothic, 9);
  font.setPixelSize(kFontPixels);
  painter.setFont(font);
  QPen pen(Qt::black);
  pen.setWidth(kLineWidth);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

void DrawBox(QPainter& painter, const QRect& rect, const QBrush& brush) {
  if (brush.style() != Qt::NoBrush) painter.fillRect(rect, brush);
  // Four bands rather than a pen stroke: the line lies exactly on the
  // rectangle's outer two pixels, whatever the painter's transform or pen.
  const int w = std::min(kLineWidth, rect.width());
  const int h = std::min(kLineWidth, rect.height());
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), h), Qt::black);
  painter.fillRect(QRect(rect.left(), rect.bottom() - h + 1, rect.width(), h), Qt::black);
  painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), Qt::black);
  painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), Qt::black);
}

void DrawCellText(QPainter& painter, const QRect& rect, const std::string& utf8, TextForm form) {
  if (utf8.empty() || rect.isEmpty()) return;
  int flags = 0;
  switch (form) {
    case TextForm::kCentered:
      flags = Qt::AlignCenter | Qt::TextSingleLine;
      break;
    case TextForm::kLeft:
      flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
      break;
    case TextForm::kTopLeft:
      flags = Qt::AlignLeft | Qt::AlignTop;
      break;
  }
  // Left-aligned text keeps clear of the box line it may start on.
  const QRect textRect = form == TextForm::kCentered ? rect : rect.adjusted(kTextInset, 0, 0, 0);
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setPen(Qt::black);
  painter.drawText(textRect, flags, QString::fromStdString(utf8));
  painter.restore();
}

void DrawLabelBox(QPainter& painter, const QRect& rect, const char* label) {
  DrawBox(painter, rect, Qt::white);
  DrawCellText(painter, rect, label, TextForm::kCentered);
}

const QImage& PadlockBitmap(int locked) {
  static const QImage closed = LoadBitmap(kBitmapPadlockClosed).toImage();
  static const QImage open = LoadBitmap(kBitmapPadlockOpen).toImage();
  return locked ? closed : open;
}

}  // namespace vexa
