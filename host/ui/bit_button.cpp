#include "vexafol/ui/bit_button.h"

#include "vexafol/ui/ui_library.h"

namespace vexa {

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
  setIcon(QIcon(bitmap));
  setIconSize(bitmap.size());
}

}  // namespace vexa
