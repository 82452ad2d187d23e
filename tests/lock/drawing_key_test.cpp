// Slots and folder numbers of drawing paths.
#include "lock/drawing_key.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"

namespace vexa::lock {
namespace {

TEST(DrawingKey, EachApplicationHasItsSlot) {
  const int ids[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x1000, 0x2000};
  for (int slot = 0; slot < 11; ++slot) EXPECT_EQ(SlotOfApplication(ids[slot]), slot);
  for (int id : {0, -1, 3, 0x200, 0x400, 0x800, 0x4000}) EXPECT_EQ(SlotOfApplication(id), -1);

  test::LockStore store;
  EXPECT_EQ(SlotOfDrawing(store.env(), store.Drawing(12, 0x1)), 0);
  EXPECT_EQ(SlotOfDrawing(store.env(), store.Drawing(12, 0x20)), 5);
  EXPECT_EQ(SlotOfDrawing(store.env(), store.Drawing(12, 0x2000)), 10);
}

TEST(DrawingKey, FolderNumbersReadTheExtensionLikeAtoi) {
  test::LockStore store;
  const auto number = [&](const std::string& path) { return FolderNumberOf(store.env(), path); };
  EXPECT_EQ(number("/data/CAD/HNY/Fol.012"), 12);
  EXPECT_EQ(number("/data/CAD/HNY/Fol.999"), 999);
  EXPECT_EQ(number("/data/CAD/HNY/Fol"), 0);
  EXPECT_EQ(number("/data/CAD/HNY/Fol.abc"), 0);
  EXPECT_EQ(number("/data/CAD/HNY/Fol.12a"), 12);
  EXPECT_EQ(number("/data/CAD/HNY/Fol.-3"), -3);
  EXPECT_EQ(number("/data/CAD/HNY/Fol.99999999999999"), INT_MAX);
  EXPECT_EQ(number(""), 0);
}

}  // namespace
}  // namespace vexa::lock
