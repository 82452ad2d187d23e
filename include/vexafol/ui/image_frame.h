// The preview window of the info panel, and the centred bitmap drawing that
// the info panel and the page sheets share.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

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
