// Loading: flags and masks, creation-time order, the recycle and backup scans,
// file states.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"

namespace vexa {
namespace {

using test::DrawingSpec;
using test::StoreFixture;

std::vector<std::string> Titles(const VexaFolderList& list) {
  std::vector<std::string> titles;
  for (int i = 0; i < list.GetFolderNum(); ++i)
    titles.push_back(list.GetFolderMember(i)->header.Title());
  return titles;
}

DrawingSpec Titled(const std::string& title, int64_t created = 1700000000) {
  DrawingSpec spec;
  spec.title = title;
  spec.created = created;
  return spec;
}

TEST(FolderListLoad, EmptyMaskStillMakesALockServiceOnlyWithoutFlags) {
  StoreFixture store;
  store.WriteAppDrawing(0x1, 1);
  VexaFolderList list(store.env());
  EXPECT_EQ(list.GetFolderLock(), nullptr);
  list.Load(0, 0);
  EXPECT_EQ(list.GetFolderNum(), 0);
  EXPECT_NE(list.GetFolderLock(), nullptr);
  for (int flags : {1, 2, 4, 6}) {
    list.Load(0x1, flags);
    EXPECT_EQ(list.GetFolderLock(), nullptr) << flags;
  }
}

TEST(FolderListLoad, RecordsCarryTheIdOfTheRowThatFoundThemInCreationOrder) {
  StoreFixture store;
  store.WriteAppDrawing(0x1, 1, Titled("a-late", 1700000300));
  store.WriteAppDrawing(0x1, 2, Titled("a-early", 1700000100));
  store.WriteAppDrawing(0x10, 5, Titled("jdn", 1700000200));
  store.WriteAppDrawing(0x20, 5, Titled("odn", 1700000000));
  store.WriteAppDrawing(0x4, 1, Titled("not in mask", 1));

  VexaFolderList list(store.env());
  list.Load(0x1 | 0x10 | 0x20, 0);
  ASSERT_EQ(list.GetFolderNum(), 4);
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"odn", "a-early", "jdn", "a-late"}));
  EXPECT_EQ(list.GetFolderMember(0)->appId, 0x20);
  EXPECT_EQ(list.GetFolderMember(2)->appId, 0x10);
  EXPECT_EQ(list.GetFolderMember(1)->path, store.AppFolder(0x1) + "/Fol.002");
  EXPECT_EQ(list.GetFolderMember(-1), nullptr);
  EXPECT_EQ(list.GetFolderMember(4), nullptr);

  // A reload sees what changed on disk; every old record is gone.
  store.WriteAppDrawing(0x1, 3, Titled("new", 1700000400));
  list.Reload();
  EXPECT_EQ(list.GetFolderNum(), 5);
  EXPECT_EQ(list.GetFolderMember(4)->header.Title(), "new");

  list.Load(-1, 0);  // every application
  EXPECT_EQ(list.GetFolderNum(), 6);
}

TEST(FolderListRecycle, LoadsTheDrawingsOfMatchingContainersOnly) {
  StoreFixture store;
  const std::string recycle = store.Recycle();
  // The folder-backed host's application folders: DATA/WORK.001/SITE.001/CAD/<code>.
  const std::string prefix = recycle + "/[WORK.001][SITE.001]";
  StoreFixture::WriteDrawing(prefix + "[HNY]one.001/Fol.007", Titled("hny"));
  StoreFixture::WriteDrawing(prefix + "[hny][x][y]two.002/FOL.003", Titled("hny 5 pairs"));
  StoreFixture::WriteDrawing(prefix + "[JDN]three.003/Fol.001", Titled("jdn"));
  StoreFixture::WriteDrawing(prefix + "[ODN]four.004/Fol.002", Titled("odn"));
  StoreFixture::WriteDrawing(prefix + "[HNY]five.005/Fol.004/BKUP", Titled("backup inside"));
  StoreFixture::WriteDrawing(recycle + "/[WORK.001][SITE.001]six.006/Fol.001", Titled("2 pairs"));
  StoreFixture::WriteDrawing(recycle + "/[WORK.001][SITE.001][HNY.007/Fol.001", Titled("open"));
  StoreFixture::WriteDrawing(recycle + "/[OTHER.001][SITE.001][HNY]/Fol.001", Titled("other"));
  test::WriteFileBytes(prefix + "[HNY]eight.008/Fol.009/readme.txt", "no index");

  VexaFolderList list(store.env());
  list.Load(0x1, 2);
  std::vector<std::string> titles = Titles(list);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"hny", "hny 5 pairs"}));
  EXPECT_EQ(list.GetFolderMember(0)->path.rfind(recycle, 0), 0u);
  EXPECT_EQ(list.GetFolderMember(0)->appId, 0x1);

  list.Load(0x10 | 0x20, 2);
  ASSERT_EQ(list.GetFolderNum(), 2);
  for (int i = 0; i < 2; ++i) {
    const FolMember* m = list.GetFolderMember(i);
    EXPECT_EQ(m->appId, m->header.Title() == "jdn" ? 0x10 : 0x20);
  }
}

TEST(FolderListBackups, LoadsTheAutomaticAndNumberedBackupsOfTheLoadPathOncePerApplication) {
  StoreFixture store;
  const std::string drawing = store.WriteAppDrawing(0x1, 3);
  StoreFixture::WriteDrawing(drawing + "/BKUP", Titled("b0", 5));
  StoreFixture::WriteDrawing(drawing + "/BKUP.001", Titled("b1", 10));
  StoreFixture::WriteDrawing(drawing + "/BKUP.002", Titled("b2", 20));
  test::WriteFileBytes(drawing + "/BKUP.003/pagefile.000", "no index here");

  VexaFolderList list(store.env());
  list.Load(0x1, 4);
  EXPECT_EQ(list.GetFolderNum(), 0);  // no load path yet
  list.SetLoadPath(drawing);
  list.Load(0x1, 4);
  ASSERT_EQ(list.GetFolderNum(), 3);
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"b0", "b1", "b2"}));
  EXPECT_EQ(list.GetFolderMember(0)->path, drawing + "/BKUP");
  EXPECT_EQ(list.GetFolderMember(2)->path, drawing + "/BKUP.002");
  EXPECT_EQ(list.GetFolderMember(2)->GetFolderNo(store.env()), 2);

  list.Load(0x1 | 0x4, 4);  // the scan runs once per application of the mask
  EXPECT_EQ(list.GetFolderNum(), 6);

  // SetBackupPath points one loaded record at its backup folder.
  list.Load(0x1, 0);
  list.SetBackupPath(5);
  list.SetBackupPath(-1);
  EXPECT_EQ(list.GetFolderMember(0)->path, drawing);
  list.SetBackupPath(0);
  EXPECT_EQ(list.GetFolderMember(0)->path, drawing + "/BKUP");
  EXPECT_EQ(list.GetFolderMember(0)->GetFolderNo(store.env()), 2);
}

// The backups of one drawing share its creation time and its number. Sorted
// by number ascending they keep the listing's name order (automatic backup,
// then history 1, 2, 10, 123) whatever order the folders were made in;
// descending, the selection sort's swaps among equal keys give its own
// permutation, not the reverse.
TEST(FolderListBackups, BackupsOfOneTimeSortByNumberInTheSelectionSortsOrder) {
  StoreFixture store;
  const std::string drawing = store.WriteAppDrawing(0x1, 7);
  for (const char* name : {"BKUP.123", "BKUP.002", "BKUP", "BKUP.010", "BKUP.001"}) {
    StoreFixture::WriteDrawing(drawing + "/" + name, Titled(name));
  }
  VexaFolderList list(store.env());
  list.SetLoadPath(drawing);
  list.Load(0x1, 4);
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {1, {"BKUP", "BKUP.001", "BKUP.002", "BKUP.010", "BKUP.123"}},
      {-1, {"BKUP.123", "BKUP", "BKUP.001", "BKUP.002", "BKUP.010"}},
  };
  for (const auto& [direction, expected] : cases) {
    list.SetSortType(6, direction);
    std::vector<std::string> titles;
    for (int i = 0; i < list.GetFolderNum(); ++i)
      titles.push_back(list.GetSortedFolderMember(i)->header.Title());
    EXPECT_EQ(titles, expected) << direction;
  }
}

}  // namespace
}  // namespace vexa
