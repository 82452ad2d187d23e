// Folder numbers of drawing paths.
#include "lock/drawing_key.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"

namespace vexa::lock {
namespace {

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
