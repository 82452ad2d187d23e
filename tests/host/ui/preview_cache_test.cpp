// The preview cache keeps at most its bytes of pictures, dropping those used
// longest ago, so a dialog that shows many large previews stays bounded.
#include "host/ui/preview_cache.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

// A 32-bit picture of side x side pixels filled with tag, so that the one
// found can be told from the others.
QImage Picture(int side, unsigned tag) {
  QImage image(side, side, QImage::Format_RGB32);
  image.fill(tag);
  return image;
}

TEST(PreviewCache, KeepsAtMostItsBytesAndDropsTheLeastRecentlyUsed) {
  const QImage one = Picture(64, 1);  // 16 KiB each
  PreviewCache cache(3 * one.sizeInBytes());
  cache.Reset(10);
  for (int slot = 0; slot < 3; ++slot) cache.Keep(slot, Picture(64, slot + 1));
  EXPECT_EQ(cache.Count(), 3);
  EXPECT_EQ(cache.Find(0).pixel(0, 0) & 0xffffff, 1u);  // slot 0 is now the latest used
  cache.Keep(3, Picture(64, 4));                        // pushes out slot 1
  EXPECT_EQ(cache.Count(), 3);
  EXPECT_EQ(cache.Bytes(), 3 * one.sizeInBytes());
  EXPECT_TRUE(cache.Find(1).isNull());
  for (int slot : {0, 2, 3}) EXPECT_FALSE(cache.Find(slot).isNull()) << slot;

  // A picture as large as two makes room for itself; one larger than the
  // whole cache is handed out but not kept.
  cache.Keep(5, Picture(90, 6));
  EXPECT_LE(cache.Bytes(), 3 * one.sizeInBytes());
  EXPECT_FALSE(cache.Find(5).isNull());
  EXPECT_EQ(cache.Count(), 2);
  cache.Keep(6, Picture(200, 7));
  EXPECT_TRUE(cache.Find(6).isNull());
  EXPECT_FALSE(cache.Find(5).isNull());

  // Keeping a slot again replaces its picture; slots outside and null
  // pictures keep nothing; Reset drops everything.
  cache.Keep(5, Picture(64, 9));
  EXPECT_EQ(cache.Find(5).pixel(0, 0) & 0xffffff, 9u);
  cache.Keep(10, one);
  cache.Keep(-1, one);
  cache.Keep(7, QImage());
  EXPECT_TRUE(cache.Find(10).isNull());
  EXPECT_TRUE(cache.Find(7).isNull());
  cache.Reset(4);
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(cache.Bytes(), 0);
  EXPECT_TRUE(cache.Find(0).isNull());
}

}  // namespace
}  // namespace vexa
