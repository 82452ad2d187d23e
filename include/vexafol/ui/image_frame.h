// The preview window of the info panel.
#pragma once

#include <QImage>
#include <QWidget>

#include "vexafol/export.h"
#include "vexafol/ui/centered_bitmap.h"

namespace vexa {

// Paints its whole area in the colour of the drawing's application (grey
// without a drawing, white for an application the table does not know),
// framed by a 2-pixel black line, and the preview bitmap centred on it.
class VEXA_UI_API ImageFrame : public QWidget {
  Q_OBJECT

 public:
  explicit ImageFrame(QWidget* parent = nullptr);

  // The picture to draw (a null image for none). QImage shares its data, so
  // the frame stays valid when the grid drops its cached copy.
  void SetBitmap(const QImage& bitmap) { bitmap_ = bitmap; }
  const QImage& GetBitmap() const { return bitmap_; }
  // The application id of the drawing shown; 0 for none.
  void SetAppId(int appId) { appId_ = appId; }
  // The background colour the frame paints (0x00BBGGRR).
  unsigned long BackgroundColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage bitmap_;
  int appId_ = 0;
};

}  // namespace vexa
