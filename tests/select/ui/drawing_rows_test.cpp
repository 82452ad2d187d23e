// The grid's rows without a widget: the keys shown and their bounds, the
// search conditions, and backup answers that hold for one load.
#include <gtest/gtest.h>

#include <filesystem>

#include "select/ui/drawing_rows.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"

namespace vexa::test {
namespace {

TEST(DrawingRowsTest, KeysAndSearchFollowTheLoadBound) {
  StoreFixture store;
  for (int number = 1; number <= 3; ++number) store.WriteAppDrawing(0x1, number);
  VexaFolderList list(store.env());
  list.Load(0x1, 0);

  FindCriteria numberTwo;
  numberTwo.useNo = 1;
  numberTwo.noFrom = numberTwo.noTo = 2;
  DrawingRows rows(numberTwo);
  rows.Bind(&list);
  rows.SetMemberCount(list.GetFolderNum());
  rows.ShowAll();
  EXPECT_EQ(rows.Count(), 3);
  EXPECT_EQ(rows.KeyAt(2), 2);
  for (int outside : {-1, 3}) EXPECT_EQ(rows.KeyAt(outside), -1);
  rows.Show({2, 0});
  EXPECT_EQ(rows.KeyAt(0), 2);
  EXPECT_EQ(rows.KeyAt(2), -1);

  int matching = 0;
  for (int i = 0; i < list.GetFolderNum(); ++i) matching += rows.Matches(list.GetFolderMember(i));
  EXPECT_EQ(matching, 1);
  EXPECT_FALSE(rows.Matches(nullptr));  // a free number

  // A new load: no records, a new generation.
  const int generation = rows.Generation();
  rows.Bind(&list);
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(rows.Generation(), generation + 1);
}

TEST(DrawingRowsTest, BackupsAreReadOncePerLoad) {
  StoreFixture store;
  const std::string plain = store.WriteAppDrawing(0x1, 1);
  const std::string backedUp = store.WriteAppDrawing(0x1, 2);
  StoreFixture::WriteDrawing(backedUp + "/BKUP.003");
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  DrawingRows rows{FindCriteria{}};
  auto bind = [&] {
    rows.Bind(&list);
    rows.SetMemberCount(list.GetFolderNum());
  };
  bind();
  auto indexOf = [&](const std::string& folder) {
    for (int i = 0; i < list.GetFolderNum(); ++i) {
      if (list.GetFolderMember(i)->path == folder) return i;
    }
    return -1;
  };
  const int plainIndex = indexOf(plain);
  const int backedUpIndex = indexOf(backedUp);
  const FolMember& plainMember = *list.GetFolderMember(plainIndex);
  const FolMember& backedUpMember = *list.GetFolderMember(backedUpIndex);

  EXPECT_EQ(rows.KnownBackups(backedUpIndex), DrawingRows::Backups::kUnknown);
  EXPECT_TRUE(rows.ReadBackups(backedUpIndex, backedUpMember));
  EXPECT_FALSE(rows.ReadBackups(plainIndex, plainMember));
  EXPECT_EQ(rows.KnownBackups(plainIndex), DrawingRows::Backups::kNone);
  // Outside the members: no answer, nothing read.
  EXPECT_FALSE(rows.ReadBackups(list.GetFolderNum(), plainMember));
  EXPECT_EQ(rows.KnownBackups(-1), DrawingRows::Backups::kUnknown);

  // The disk changes; the answers hold until the next load is bound.
  StoreFixture::WriteDrawing(plain + "/BKUP");
  std::filesystem::remove_all(backedUp + "/BKUP.003");
  EXPECT_FALSE(rows.ReadBackups(plainIndex, plainMember));
  EXPECT_TRUE(rows.ReadBackups(backedUpIndex, backedUpMember));
  bind();
  EXPECT_TRUE(rows.ReadBackups(plainIndex, plainMember));
  EXPECT_FALSE(rows.ReadBackups(backedUpIndex, backedUpMember));
}

}  // namespace
}  // namespace vexa::test
