// Loading: flags and masks, creation-time order, the recycle and backup scans,
// a host list that moves the application folders, counting, file states.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "store/folder_list_scan.h"
#include "tests/folderlist/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/hooks.h"

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
    EXPECT_EQ(list.GetLoadFlags(), flags);
  }
  EXPECT_EQ(list.GetAppType(), 0x1);
  EXPECT_EQ(&list.GetEnvObj(), &store.env());
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
  const FolMember* member = list.GetFolderMember(1);
  EXPECT_EQ(member->lockState, 0);
  EXPECT_EQ(member->fileState, 0);
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

TEST(FolderListLoad, EqualCreationTimesKeepTheScanOrder) {
  StoreFixture store;
  for (int n = 1; n <= 20; ++n) store.WriteAppDrawing(0x1, n, Titled(std::to_string(n)));
  VexaFolderList list(store.env());
  list.Load(0x1, 1);
  ASSERT_EQ(list.GetFolderNum(), 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(list.GetFolderMember(i)->GetFolderNo(store.env()), i);
}

TEST(FolderListLoad, ScansRunUnderOneWaitCursor) {
  static std::vector<bool> calls;
  calls.clear();
  WaitCursorHook previous = SetWaitCursorHook([](bool show) { calls.push_back(show); });
  StoreFixture store;
  store.WriteAppDrawing(0x1, 1);
  VexaFolderList list(store.env());
  list.Load(-1, 0);
  EXPECT_EQ(calls, (std::vector<bool>{true, false}));
  list.CountCadFile(0x1);
  list.IsExistCadFile(0x1);
  EXPECT_EQ(calls.size(), 6u);
  SetWaitCursorHook(previous);
}

TEST(FolderListRecycle, EntryNamesLeadBackToApplicationFolders) {
  StoreFixture store;
  const std::string parent = store.env().GetDirNameFromRelativePath(store.Recycle());
  auto home = [&](const std::string& name) {
    return folder_list::RecycleEntryHome(store.env(), store.Recycle(), name);
  };
  EXPECT_EQ(home("[x][y][JDN]title.001"), parent + "/x/y/CAD/JDN/JDN");
  EXPECT_EQ(home("[x][y][odn]"), parent + "/x/y/CAD/JDN/odn");
  EXPECT_EQ(home("[x][y][TNK]t"), parent + "/x/y/CAD/CVL/TNK");
  EXPECT_EQ(home("[x][y][HNY][more][and more]"), parent + "/x/y/CAD/HNY");
  EXPECT_EQ(home("plain"), parent);
  EXPECT_EQ(home("[x]"), parent + "/x");
  EXPECT_EQ(home("[x][y"), parent + "/x");
  // A "]" before the "[" gives an empty token and consumes up to that "]".
  EXPECT_EQ(home("]x[y][z][HNY]"), parent + "/y/CAD/z");
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
}

TEST(FolderListBackups, SetBackupPathPointsOneRecordAtItsBackupFolder) {
  StoreFixture store;
  const std::string drawing = store.WriteAppDrawing(0x1, 3);
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  list.SetBackupPath(5);
  list.SetBackupPath(-1);
  EXPECT_EQ(list.GetFolderMember(0)->path, drawing);
  list.SetBackupPath(0);
  EXPECT_EQ(list.GetFolderMember(0)->path, drawing + "/BKUP");
  EXPECT_EQ(list.GetFolderMember(0)->GetFolderNo(store.env()), 2);
}

// A host list that keeps the drawings of application 0x1 elsewhere.
class MovedList : public VexaFolderList {
 public:
  MovedList(const CEnvironObj& env, std::string folder)
      : VexaFolderList(env), folder_(std::move(folder)) {}
  int GetAppFolder(int appId, std::string* folder) const override {
    if (appId != 0x1) return VexaFolderList::GetAppFolder(appId, folder);
    if (folder) *folder = folder_;
    return folder_.empty() ? 0 : 1;
  }

 private:
  std::string folder_;
};

TEST(FolderListHost, OverriddenApplicationFolderIsScannedAndCounted) {
  StoreFixture store;
  store.WriteAppDrawing(0x1, 1, Titled("standard"));
  const std::string moved = store.dir() / "elsewhere/HNY";
  StoreFixture::WriteDrawing(moved + "/Fol.004", Titled("moved"));
  StoreFixture::WriteDrawing(moved + "/Fol.005", Titled("moved too"));
  test::WriteFileBytes(moved + "/Fol.006/pagefile.000", "no index");
  test::WriteFileBytes(moved + "/notes.txt", "a file");

  MovedList list(store.env(), moved);
  VexaFolderList& base = list;
  base.Load(0x1, 0);
  EXPECT_EQ(Titles(base), (std::vector<std::string>{"moved", "moved too"}));
  EXPECT_EQ(base.CountCadFile(0x1), 2);
  EXPECT_EQ(base.IsExistCadFile(0x1), 1);
  EXPECT_EQ(base.CountCadFile(0x4), 0);
  EXPECT_EQ(base.IsExistCadFile(0x4), 0);

  MovedList nowhere(store.env(), "");
  EXPECT_EQ(nowhere.CountCadFile(0x1), 0);
  nowhere.Load(0x1, 0);
  EXPECT_EQ(nowhere.GetFolderNum(), 0);
  MovedList missing(store.env(), store.dir() / "missing");
  EXPECT_EQ(missing.CountCadFile(0x1), 0);
}

TEST(FolderListFileState, LockTypeOfIndexFiles) {
  StoreFixture store;
  const std::string drawing = store.WriteAppDrawing(0x1, 1);
  const std::string index = drawing + "/INDEX.VXF";
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), index), 0);
  ASSERT_EQ(chmod(index.c_str(), 0444), 0);
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), index), 2);
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), drawing + "/index.vxf"), 2);
  ASSERT_EQ(chmod(index.c_str(), 0200), 0);  // writable by the owner only
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), index), 0);
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), drawing + "/MISSING.VXF"), 1);
  EXPECT_EQ(VexaFolderList::GetLockType(store.env(), drawing), 1);  // a folder is no file
}

}  // namespace
}  // namespace vexa
