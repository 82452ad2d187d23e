// Preview files: the plain 24-bit BMP taken in place (rows bottom-up or
// top-down, padded, any pixel offset), other pictures through Qt's readers,
// and damaged files that give no picture.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstring>

#include "host/ui/preview_file.h"
#include "tests/support/temp_dir.h"

namespace vexa::test {
namespace {

// 3 x 2 pixels, each of its own colour.
QImage Sample() {
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb colours[] = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF01FF02};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
  return image;
}

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

// The BMP rows stored top-down (a negative height), as some writers do.
std::string TopDown(std::string bmp) {
  int32_t height;
  std::memcpy(&height, bmp.data() + 22, 4);
  height = -height;
  std::memcpy(bmp.data() + 22, &height, 4);
  const size_t stride = 12;  // 3 pixels of 3 bytes, padded to 4
  std::string rows = bmp.substr(54);
  std::memcpy(bmp.data() + 54, rows.data() + stride, stride);
  std::memcpy(bmp.data() + 54 + stride, rows.data(), stride);
  return bmp;
}

// The pixels behind a 2-byte gap, so that they start on a 4-byte boundary.
std::string AlignedPixels(std::string bmp) {
  const uint32_t offset = 56;
  std::memcpy(bmp.data() + 10, &offset, 4);
  bmp.insert(54, 2, '\0');
  return bmp;
}

TEST(PreviewFile, PicturesReadThemselvesAndDamagedOnesGiveNone) {
  TempDir dir;
  const QImage sample = Sample();
  const std::string bmp = Encoded(sample, "BMP");
  ASSERT_EQ(bmp[28], 24);  // the plain layout the fast path takes
  struct Case {
    const char* name;
    std::string bytes;
    bool picture;
  };
  const Case cases[] = {
      {"bottom-up", bmp, true},
      {"top-down", TopDown(bmp), true},
      {"aligned pixels", AlignedPixels(bmp), true},
      {"png", Encoded(sample, "PNG"), true},
      {"pixels cut short", bmp.substr(0, bmp.size() - 5), false},
      {"header only", bmp.substr(0, 54), false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(dir / "page000.bmp", c.bytes);
    const QImage read = LoadPreview(dir / "page000.bmp");
    if (!c.picture) {
      EXPECT_TRUE(read.isNull() || read.size() == sample.size());
      continue;
    }
    ASSERT_EQ(read.size(), sample.size());
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) EXPECT_EQ(read.pixel(x, y), sample.pixel(x, y)) << x << y;
    }
  }
  EXPECT_TRUE(LoadPreview(dir / "missing.bmp").isNull());
}

}  // namespace
}  // namespace vexa::test
