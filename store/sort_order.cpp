#include "store/sort_order.h"

#include <algorithm>
#include <numeric>

#include "platform/collate.h"

namespace vexa {
namespace {

// Segment tree over positions; each node holds the position of the best live
// entry in its range (-1 when none). A position is retired once its entry is
// final, so the root always names the best entry of the unsorted tail.
class BestPositionTree {
 public:
  BestPositionTree(const std::vector<int64_t>& ranks, const std::vector<int>& order, bool lowest)
      : ranks_(ranks), order_(order), lowest_(lowest) {
    while (leaves_ < order.size()) leaves_ *= 2;
    nodes_.assign(2 * leaves_, -1);
    for (size_t p = 0; p < order.size(); ++p) nodes_[leaves_ + p] = static_cast<int>(p);
    for (size_t n = leaves_ - 1; n >= 1; --n) nodes_[n] = Better(nodes_[2 * n], nodes_[2 * n + 1]);
  }

  int Best() const { return nodes_[1]; }

  // Re-reads the entry now standing at position p (after a swap).
  void Refresh(int p) { Set(p, p); }
  // Takes position p out of the competition.
  void Retire(int p) { Set(p, -1); }

 private:
  void Set(int p, int value) {
    size_t n = leaves_ + static_cast<size_t>(p);
    nodes_[n] = value;
    for (n /= 2; n >= 1; n /= 2) nodes_[n] = Better(nodes_[2 * n], nodes_[2 * n + 1]);
  }

  // left lies entirely before right. Lowest rank: the earlier position wins a
  // tie; highest rank: the later one does.
  int Better(int left, int right) const {
    if (left < 0) return right;
    if (right < 0) return left;
    const int64_t l = ranks_[order_[left]];
    const int64_t r = ranks_[order_[right]];
    if (lowest_) return r < l ? right : left;
    return r >= l ? right : left;
  }

  const std::vector<int64_t>& ranks_;
  const std::vector<int>& order_;
  const bool lowest_;
  size_t leaves_ = 1;
  std::vector<int> nodes_;
};

}  // namespace

std::vector<int> SelectionSortOrder(const std::vector<int64_t>& ranks, int direction) {
  std::vector<int> order(ranks.size());
  std::iota(order.begin(), order.end(), 0);
  if (order.size() < 2) return order;
  BestPositionTree tree(ranks, order, direction >= 0);
  for (int i = 0; i + 1 < static_cast<int>(order.size()); ++i) {
    const int best = tree.Best();
    if (best != i) {
      std::swap(order[i], order[best]);
      tree.Refresh(best);
    }
    tree.Retire(i);
  }
  return order;
}

int64_t FileTimeRank(const FILETIME& time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  // Flipping the top bit maps unsigned order onto signed order.
  return static_cast<int64_t>(ticks ^ (uint64_t{1} << 63));
}

std::vector<int64_t> CollationRanks(const std::vector<std::string>& utf8Texts) {
  std::vector<std::string> keys;
  keys.reserve(utf8Texts.size());
  for (const std::string& text : utf8Texts) keys.push_back(platform::CollationKey(text));
  std::vector<int> byKey(keys.size());
  std::iota(byKey.begin(), byKey.end(), 0);
  std::sort(byKey.begin(), byKey.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  std::vector<int64_t> ranks(keys.size());
  int64_t rank = 0;
  for (size_t k = 0; k < byKey.size(); ++k) {
    if (k > 0 && keys[byKey[k - 1]] != keys[byKey[k]]) ++rank;
    ranks[byKey[k]] = rank;
  }
  return ranks;
}

}  // namespace vexa
