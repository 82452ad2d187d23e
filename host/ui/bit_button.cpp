#include "vexafol/ui/bit_button.h"

#include <QIcon>
#include <QImage>
#include <QPainter>

#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

// Pixels lighter than this (grey level) are the background of a bitmap.
constexpr int kInkGreyLimit = 160;

// The dark parts of face in one colour, the rest transparent.
QImage InkIn(const QImage& face, const QColor& colour) {
  QImage ink(face.size(), QImage::Format_ARGB32);
  ink.fill(Qt::transparent);
  for (int y = 0; y < face.height(); ++y) {
    for (int x = 0; x < face.width(); ++x) {
      const QRgb pixel = face.pixel(x, y);
      if (qAlpha(pixel) >= 128 && qGray(pixel) < kInkGreyLimit) ink.setPixelColor(x, y, colour);
    }
  }
  return ink;
}

}  // namespace

QPixmap BitButton::DisabledFace(const QPixmap& face, const QPalette& palette) {
  // As Windows draws a disabled bitmap: embossed, the dark parts once in the
  // highlight colour one pixel down and right, then in the shadow colour in
  // place; colours and light parts vanish.
  const QImage source = face.toImage().convertToFormat(QImage::Format_ARGB32);
  QImage result(source.size(), QImage::Format_ARGB32);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  painter.drawImage(QPoint(1, 1), InkIn(source, palette.color(QPalette::Light)));
  painter.drawImage(QPoint(0, 0), InkIn(source, palette.color(QPalette::Dark)));
  painter.end();
  return QPixmap::fromImage(result);
}

BitButton::BitButton(int id, const std::string& caption, QWidget* parent)
    : QPushButton(QString::fromStdString(caption), parent), caption_(caption) {
  InitUiLibrary();
  if (id != -1) setObjectName(QString::number(id));
  setAccessibleName(QString::fromStdString(caption));
  setAutoDefault(false);
}

void BitButton::SetBitmap(const QPixmap& face0, const QPixmap& face1) {
  faces_[0] = face0;
  faces_[1] = face1.isNull() ? face0 : face1;
  face_ = 0;
  ShowFace();
}

bool BitButton::SetBitmap(int bitmapId) {
  const QPixmap bitmap = LoadBitmap(bitmapId);
  if (bitmap.isNull()) return false;
  SetBitmap(bitmap);
  return true;
}

void BitButton::SetFace(int face) {
  if (face != 0 && face != 1) return;
  face_ = face;
  ShowFace();
}

void BitButton::SetHint(const std::string& hint) {
  setToolTip(QString::fromStdString(hint));
}

void BitButton::ShowFace() {
  const QPixmap& bitmap = faces_[face_];
  setText(bitmap.isNull() ? QString::fromStdString(caption_) : QString());
  QIcon icon(bitmap);
  if (!bitmap.isNull()) icon.addPixmap(DisabledFace(bitmap, palette()), QIcon::Disabled);
  setIcon(icon);
  setIconSize(bitmap.size());
}

}  // namespace vexa
