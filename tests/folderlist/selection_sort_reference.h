// The plain quadratic selection sort that defines the folder list's second
// order; the fast implementation must give exactly its permutation.
#pragma once

#include <numeric>
#include <utility>
#include <vector>

namespace vexa::test {

// greater(a, b): entry a is greater than entry b. With direction >= 0 the
// candidate j becomes the best when the best is greater than it, with
// direction < 0 when it is not; neverSelect keeps the identity.
template <typename Greater>
std::vector<int> ReferenceSelectionSort(int count, const Greater& greater, int direction,
                                        bool neverSelect = false) {
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  for (int i = 0; i + 1 < count; ++i) {
    int best = i;
    for (int j = i + 1; j < count; ++j) {
      if (neverSelect) continue;
      const bool aGreater = greater(order[best], order[j]);
      if (direction < 0 ? !aGreater : aGreater) best = j;
    }
    if (best != i) std::swap(order[i], order[best]);
  }
  return order;
}

}  // namespace vexa::test
