// A push button that shows a bitmap instead of its caption: two faces (the
// bitmap shown normally and an alternative one), a face selection and a hint
// shown as the tooltip. The caption stays the button's accessible name and is
// drawn as text only while no bitmap is set.
#pragma once

#include <QPixmap>
#include <QPushButton>

#include <string>

#include "vexafol/export.h"

namespace vexa {

class VEXA_UI_API BitButton : public QPushButton {
  Q_OBJECT

 public:
  // A button named id (its objectName; -1 leaves it unnamed) with caption.
  explicit BitButton(int id = -1, const std::string& caption = "", QWidget* parent = nullptr);

  // Sets both faces (an empty face 1 repeats face 0) and shows face 0.
  void SetBitmap(const QPixmap& face0, const QPixmap& face1 = QPixmap());
  // Sets the library bitmap with that resource id on both faces; false (and
  // nothing changed) when the library has no such bitmap.
  bool SetBitmap(int bitmapId);
  // Shows face 0 or 1; other values are ignored.
  void SetFace(int face);

  // The tooltip; empty for none.
  void SetHint(const std::string& hint);
  std::string Caption() const { return caption_; }

 private:
  void ShowFace();

  std::string caption_;
  QPixmap faces_[2];
  int face_ = 0;
};

}  // namespace vexa
