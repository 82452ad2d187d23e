// The bitmap button: a disabled one paints a greyed face, as Windows draws a
// disabled bitmap button, and its hint is the tooltip.
#include <gtest/gtest.h>

#include <QImage>

#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa {
namespace {

struct Ink {
  int coloured = 0;  // pixels with a colour, not a grey
  int dark = 0;      // pixels as dark as the bitmap's outlines
};

// What the bitmap area in the middle of a rendered button holds.
Ink InkOf(const QImage& image) {
  Ink ink;
  const QRect area =
      QRect(QPoint(0, 0), QSize(20, 20)).translated(image.rect().center() - QPoint(10, 10));
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int high = std::max({c.red(), c.green(), c.blue()});
      if (high - std::min({c.red(), c.green(), c.blue()}) > 40) ++ink.coloured;
      if (high < 100) ++ink.dark;
    }
  }
  return ink;
}

TEST(BitButtonTest, ADisabledButtonPaintsAGreyedFaceAndKeepsItsHint) {
  BitButton button(-1, "削除");
  button.resize(32, 28);
  ASSERT_TRUE(button.SetBitmap(kBitmapDelete));
  button.SetHint("ファイルの削除");
  const QImage enabled = button.grab().toImage();
  button.setEnabled(false);
  const QImage disabled = button.grab().toImage();
  EXPECT_GT(InkOf(enabled).coloured, 4);
  EXPECT_GT(InkOf(enabled).dark, 20);
  // Greyed: neither the colours nor the black outlines of the bitmap are left.
  EXPECT_EQ(InkOf(disabled).coloured, 0);
  EXPECT_EQ(InkOf(disabled).dark, 0);
  EXPECT_EQ(button.toolTip().toStdString(), "ファイルの削除");

  // The face chosen later is greyed the same way.
  button.SetFace(1);
  EXPECT_EQ(InkOf(button.grab().toImage()).dark, 0);
  button.setEnabled(true);
  EXPECT_EQ(button.grab().toImage(), enabled);
}

}  // namespace
}  // namespace vexa
