#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "folderlist/sort_order.h"
#include "platform/collate.h"
#include "tests/folderlist/selection_sort_reference.h"
#include "tests/support/test_environ.h"
#include "vexafol/filetime.h"

namespace vexa {
namespace {

// The comparison that defines each sort type: a is greater than b.
bool Greater(const CEnvironObj& env, int sortType, const FolMember& a, const FolMember& b) {
  switch (sortType) {
    case 1:
      return a.appId > b.appId;
    case 2:
      return platform::CollateCompare(a.header.Creator(), b.header.Creator()) > 0;
    case 3:
      return platform::CollateCompare(a.header.Updater(), b.header.Updater()) > 0;
    case 4:
      return CompareFileTime(a.header.createTime, b.header.createTime) > 0;
    case 5:
      return CompareFileTime(a.header.updateTime, b.header.updateTime) > 0;
    case 6:
      return a.GetFolderNo(env) > b.GetFolderNo(env);
    case 7:
      return platform::CollateCompare(a.header.Title(), b.header.Title()) > 0;
    case 8:
      return a.header.pageCount > b.header.pageCount;
  }
  ADD_FAILURE() << "no comparison for sort type " << sortType;
  return false;
}

std::vector<int> Reference(const CEnvironObj& env, const std::vector<const FolMember*>& members,
                           int sortType, int direction) {
  const bool identity =
      sortType < 1 || sortType > 8 || (direction == 0 && (sortType == 4 || sortType == 5));
  return test::ReferenceSelectionSort(
      static_cast<int>(members.size()),
      [&](int a, int b) { return Greater(env, sortType, *members[a], *members[b]); }, direction,
      identity);
}

// Members drawn from small pools, so that every key repeats often.
std::vector<std::unique_ptr<FolMember>> RandomMembers(std::mt19937& random, int count) {
  static const char* const kTexts[] = {"",  "山田", "やまだ", "ヤマダ", "Yamada", "yamada", "田中",
                                       "A", "a",    "図面1",  "図面10", "図面2",  "ｱ",      "ア"};
  static const char* const kFolders[] = {"Fol.001", "Fol.002", "Fol.010",      "Fol.999",
                                         "Fol",     "Fol.x1",  "Fol.002/BKUP", "Fol.010/BKUP.003"};
  static const uint32_t kHighWords[] = {0x01D9A000u, 0x01D9A001u, 0x80000000u, 0u};
  auto pick = [&](auto& pool) { return pool[random() % std::size(pool)]; };
  std::vector<std::unique_ptr<FolMember>> members;
  for (int i = 0; i < count; ++i) {
    auto m = std::make_unique<FolMember>();
    m->path = std::string("/store/CAD/") + pick(kFolders);
    m->appId = std::vector<int>{1, 2, 0x1000, -1}[random() % 4];
    m->header.pageCount = static_cast<int32_t>(random() % 4) - 1;
    EXPECT_TRUE(m->header.SetTitle(pick(kTexts)));
    EXPECT_TRUE(m->header.SetCreator(pick(kTexts)));
    EXPECT_TRUE(m->header.SetUpdater(pick(kTexts)));
    m->header.createTime = FILETIME{static_cast<uint32_t>(random() % 3), pick(kHighWords)};
    m->header.updateTime = FILETIME{static_cast<uint32_t>(random() % 3), pick(kHighWords)};
    members.push_back(std::move(m));
  }
  return members;
}

TEST(FolderSortOrder, EqualsTheQuadraticSortForEverySortTypeAndDirection) {
  test::TestEnviron env;
  std::mt19937 random(31);
  for (int trial = 0; trial < 60; ++trial) {
    const auto owned = RandomMembers(random, static_cast<int>(random() % 40));
    std::vector<const FolMember*> members;
    for (const auto& m : owned) members.push_back(m.get());
    for (int sortType = -1; sortType <= 9; ++sortType) {
      for (int direction : {-1, 0, 1}) {
        ASSERT_EQ(FolderSortOrder(env, members, sortType, direction),
                  Reference(env, members, sortType, direction))
            << "trial " << trial << " type " << sortType << " direction " << direction;
      }
    }
  }
}

}  // namespace
}  // namespace vexa
