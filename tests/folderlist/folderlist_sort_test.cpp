// The list's second order: every sort type and direction through the list,
// the rebuild rule of SetSortType, and the index mapping.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "folderlist/sort_order.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"

namespace vexa {
namespace {

using test::DrawingSpec;
using test::StoreFixture;

// The order the sort itself gives the list's records (checked against the
// plain selection sort on its own); any positive or negative direction counts
// as 1 or -1.
std::vector<int> Reference(const VexaFolderList& list, int type, int direction) {
  std::vector<const FolMember*> members;
  for (int i = 0; i < list.GetFolderNum(); ++i) members.push_back(list.GetFolderMember(i));
  return FolderSortOrder(list.GetEnvObj(), members, type, (direction > 0) - (direction < 0));
}

class FolderListSort : public ::testing::Test {
 protected:
  // 80 drawings over four applications with few distinct keys, so that ties
  // are everywhere.
  void SetUp() override {
    std::mt19937 random(7);
    const char* const names[] = {"山田", "やまだ", "Yamada", "yamada", "田中", ""};
    const int apps[] = {0x1, 0x4, 0x10, 0x2000};
    for (int i = 0; i < 80; ++i) {
      DrawingSpec spec;
      spec.title = std::string(names[random() % 6]) + (random() % 2 ? "図" : "");
      spec.creator = names[random() % 6];
      spec.updater = names[random() % 6];
      spec.created = 1700000000 + static_cast<int64_t>(random() % 5) * 60;
      spec.updated = 1700000000 + static_cast<int64_t>(random() % 5) * 60;
      spec.pages = static_cast<int32_t>(random() % 4) - 1;
      store_.WriteAppDrawing(apps[i % 4], static_cast<int>(random() % 999) + 1, spec);
    }
    list_.Load(-1, 1);
    ASSERT_GT(list_.GetFolderNum(), 60);
  }

  std::vector<int> Order() const {
    std::vector<int> order;
    for (int i = 0; i < list_.GetFolderNum(); ++i) order.push_back(list_.ToSortedIndex(i));
    return order;
  }

  StoreFixture store_;
  VexaFolderList list_{store_.env()};
};

TEST_F(FolderListSort, EveryTypeAndDirectionGivesTheSelectionSortPermutation) {
  for (int type = 0; type <= 9; ++type) {
    for (int direction : {1, -1, 0, 5, -3}) {
      SCOPED_TRACE(testing::Message() << "type " << type << " direction " << direction);
      list_.SetSortType(type, direction);
      const std::vector<int> expected = Reference(list_, type, direction);
      ASSERT_EQ(Order(), expected);
      for (int i = 0; i < list_.GetFolderNum(); ++i)
        ASSERT_EQ(list_.GetSortedFolderMember(i), list_.GetFolderMember(expected[i]));
    }
  }
  const int n = list_.GetFolderNum();
  EXPECT_EQ(list_.ToSortedIndex(-1), -1);
  EXPECT_EQ(list_.ToSortedIndex(n), -1);
  EXPECT_EQ(list_.GetSortedFolderMember(n), nullptr);
}

TEST_F(FolderListSort, ReloadKeepsTheSortAndRebuildsIt) {
  list_.SetSortType(8, -1);
  DrawingSpec spec;
  spec.pages = 1000;
  store_.WriteAppDrawing(0x1, 999, spec);
  list_.Reload();
  EXPECT_EQ(list_.GetSortType(), 8);
  EXPECT_EQ(list_.GetSortedFolderMember(0)->header.pageCount, 1000);
  EXPECT_EQ(Order(), Reference(list_, 8, -1));
}

// Counts the extension lookups through which sorting by drawing number reads
// every record, so a rebuild of the order can be seen.
class CountingEnv : public FolderEnvironObj {
 public:
  using FolderEnvironObj::FolderEnvironObj;
  std::string GetExtNameFromFileName(const std::string& name) const override {
    ++lookups;
    return FolderEnvironObj::GetExtNameFromFileName(name);
  }
  mutable int lookups = 0;
};

TEST(FolderListSortRule, OrderIsRebuiltOnlyWhenTypeOrDirectionChange) {
  test::TempDir dir;
  FolderEnvironOptions options;
  options.dataPath = dir / "DATA";
  CountingEnv env(dir.path(), options);
  for (int n = 1; n <= 5; ++n)
    StoreFixture::WriteDrawing(GetSenyouPath(env, 0x1) + "/Fol.00" + std::to_string(n));
  VexaFolderList list(env);
  list.Load(0x1, 1);
  int seen = env.lookups;
  auto rebuilt = [&] {
    const bool changed = env.lookups != seen;
    seen = env.lookups;
    return changed;
  };
  // Calls in turn with whether they rebuild; kNone calls SetSortType(6), which
  // resets the direction to 0.
  constexpr int kNone = 99;
  const std::tuple<int, bool> calls[] = {{kNone, true}, {kNone, false}, {0, false}, {1, true},
                                         {1, false},    {kNone, true},  {-1, true}};
  for (const auto& [direction, rebuilds] : calls) {
    if (direction == kNone) {
      list.SetSortType(6);
    } else {
      list.SetSortType(6, direction);
    }
    EXPECT_EQ(rebuilt(), rebuilds) << direction;
  }
  EXPECT_EQ(list.GetSortedFolderMember(0)->GetFolderNo(env), 4);
}

}  // namespace
}  // namespace vexa
