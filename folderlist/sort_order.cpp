#include "folderlist/sort_order.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "platform/collate.h"

namespace vexa {
namespace {

// Segment tree over positions; each node holds the position of the best live
// entry in its range (-1 when none). A position is retired once its entry is
// final, so the root always names the best entry of the unsorted tail.
class BestPositionTree {
 public:
  // Positions start in identity order: entry p stands at position p.
  BestPositionTree(const std::vector<int64_t>& ranks, bool lowest)
      : rankAt_(ranks), lowest_(lowest) {
    while (leaves_ < rankAt_.size()) leaves_ *= 2;
    nodes_.assign(2 * leaves_, -1);
    for (size_t p = 0; p < rankAt_.size(); ++p) nodes_[leaves_ + p] = static_cast<int>(p);
    for (size_t n = leaves_ - 1; n >= 1; --n) nodes_[n] = Better(nodes_[2 * n], nodes_[2 * n + 1]);
  }

  int Best() const { return nodes_[1]; }

  // The entry at position best becomes final at position i, the first live
  // one; the entry that stood at i moves to best.
  void Place(int i, int best) {
    rankAt_[best] = rankAt_[i];
    Set(i, -1);
    if (best != i) Set(best, best);
  }

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
    const int64_t l = rankAt_[left];
    const int64_t r = rankAt_[right];
    if (lowest_) return r < l ? right : left;
    return r >= l ? right : left;
  }

  std::vector<int64_t> rankAt_;  // rank of the entry standing at each position
  const bool lowest_;
  size_t leaves_ = 1;
  std::vector<int> nodes_;
};

std::vector<int> IdentityOrder(size_t count) {
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  return order;
}

// One rank per member from a numeric key.
template <typename Key>
std::vector<int64_t> NumericRanks(const std::vector<const FolMember*>& members, Key key) {
  std::vector<int64_t> ranks;
  ranks.reserve(members.size());
  for (const FolMember* member : members) ranks.push_back(key(*member));
  return ranks;
}

// One rank per member from a text field of the header, in collation order.
std::vector<int64_t> TextRanks(const std::vector<const FolMember*>& members,
                               std::string (VexaFileHeader::*text)() const) {
  std::vector<std::string> texts;
  texts.reserve(members.size());
  for (const FolMember* member : members) texts.push_back((member->header.*text)());
  return CollationRanks(texts);
}

}  // namespace

std::vector<int> SelectionSortOrder(const std::vector<int64_t>& ranks, int direction) {
  std::vector<int> order = IdentityOrder(ranks.size());
  if (order.size() < 2) return order;
  BestPositionTree tree(ranks, direction >= 0);
  for (int i = 0; i + 1 < static_cast<int>(order.size()); ++i) {
    const int best = tree.Best();
    std::swap(order[i], order[best]);
    tree.Place(i, best);
  }
  return order;
}

int64_t FileTimeRank(const FILETIME& time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  // Flipping the top bit maps unsigned order onto signed order.
  return static_cast<int64_t>(ticks ^ (uint64_t{1} << 63));
}

std::vector<int64_t> CollationRanks(const std::vector<std::string>& utf8Texts) {
  // Names repeat a lot (a handful of creators for thousands of drawings): one
  // collation key per distinct text.
  std::unordered_map<std::string_view, int> groupOf;
  std::vector<int> group(utf8Texts.size());
  std::vector<std::string> keys;
  for (size_t i = 0; i < utf8Texts.size(); ++i) {
    const auto [it, added] = groupOf.try_emplace(utf8Texts[i], static_cast<int>(keys.size()));
    if (added) keys.push_back(platform::CollationKey(utf8Texts[i]));
    group[i] = it->second;
  }
  std::vector<int> byKey(keys.size());
  std::iota(byKey.begin(), byKey.end(), 0);
  std::sort(byKey.begin(), byKey.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  std::vector<int64_t> groupRank(keys.size());
  int64_t rank = 0;
  for (size_t k = 0; k < byKey.size(); ++k) {
    if (k > 0 && keys[byKey[k - 1]] != keys[byKey[k]]) ++rank;
    groupRank[byKey[k]] = rank;
  }
  std::vector<int64_t> ranks(utf8Texts.size());
  for (size_t i = 0; i < ranks.size(); ++i) ranks[i] = groupRank[group[i]];
  return ranks;
}

std::vector<int64_t> SortRanks(const CEnvironObj& env, const std::vector<const FolMember*>& members,
                               int sortType) {
  switch (sortType) {
    case kSortAppId:
      return NumericRanks(members, [](const FolMember& m) { return m.appId; });
    case kSortCreator:
      return TextRanks(members, &VexaFileHeader::Creator);
    case kSortUpdater:
      return TextRanks(members, &VexaFileHeader::Updater);
    case kSortCreateTime:
      return NumericRanks(members,
                          [](const FolMember& m) { return FileTimeRank(m.header.createTime); });
    case kSortUpdateTime:
      return NumericRanks(members,
                          [](const FolMember& m) { return FileTimeRank(m.header.updateTime); });
    case kSortFolderNo:
      return NumericRanks(members, [&env](const FolMember& m) { return m.GetFolderNo(env); });
    case kSortTitle:
      return TextRanks(members, &VexaFileHeader::Title);
    case kSortPageCount:
      return NumericRanks(members, [](const FolMember& m) { return m.header.pageCount; });
  }
  return std::vector<int64_t>(members.size(), 0);
}

std::vector<int> FolderSortOrder(const CEnvironObj& env,
                                 const std::vector<const FolMember*>& members, int sortType,
                                 int direction) {
  const bool timeOrder = sortType == kSortCreateTime || sortType == kSortUpdateTime;
  // Without a direction the time orders keep the creation-time order.
  if (sortType <= kSortCreationOrder || sortType > kSortPageCount ||
      (timeOrder && direction == 0)) {
    return IdentityOrder(members.size());
  }
  return SelectionSortOrder(SortRanks(env, members, sortType), direction);
}

}  // namespace vexa
