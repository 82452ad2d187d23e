#include "folderlist/sort_order.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/folderlist/selection_sort_reference.h"

namespace vexa {
namespace {

TEST(SelectionSortOrder, MovesEqualKeysAsTheSwapsDo) {
  // Ascending: entry 2 is swapped to the front, which puts entry 0 behind entry 1.
  EXPECT_EQ(SelectionSortOrder({1, 1, 0}, 1), (std::vector<int>{2, 1, 0}));
  // Descending takes the last of equal maxima each time.
  EXPECT_EQ(SelectionSortOrder({5, 5, 5}, -1), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(SelectionSortOrder({5, 5, 5}, 1), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(SelectionSortOrder({}, 1), (std::vector<int>{}));
}

TEST(SelectionSortOrder, EqualsTheQuadraticSortOnRandomInput) {
  std::mt19937_64 random(20240110);
  for (int trial = 0; trial < 1000; ++trial) {
    const int count = static_cast<int>(random() % 70);
    // Few distinct values give many ties; now and then the full 64-bit range.
    const uint64_t spread = std::vector<uint64_t>{1, 2, 3, 5, 20, 1000}[trial % 6];
    std::vector<int64_t> ranks(count);
    for (int64_t& r : ranks) {
      r = trial % 50 == 0 ? static_cast<int64_t>(random())
                          : static_cast<int64_t>(random() % spread) - 1;
    }
    for (int direction : {-3, -1, 0, 1, 4}) {
      const auto reference = test::ReferenceSelectionSort(
          count, [&](int a, int b) { return ranks[a] > ranks[b]; }, direction);
      ASSERT_EQ(SelectionSortOrder(ranks, direction), reference)
          << "trial " << trial << " direction " << direction;
    }
  }
}

}  // namespace
}  // namespace vexa
