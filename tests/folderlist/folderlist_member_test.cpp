// One drawing by its path: the record a load would give it, and whether the
// path names a drawing folder of the store at all (a deletion by path must
// never take a recycled, backup or outside folder for one).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::DrawingSpec;
using test::StoreFixture;

TEST(ListedDrawingFolder, OnlyDrawingFoldersOfTheirApplicationFolder) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  const std::string drawing = store.WriteAppDrawing(0x1, 5);
  StoreFixture::WriteDrawing(drawing + "/BKUP");
  for (const char* name : {"/Fol.000", "/Fol.05", "/Fol.1000", "/Fol.x12", "/Drawing.005"})
    StoreFixture::WriteDrawing(app + name);
  test::WriteFileBytes(app + "/Fol.006", "a file");
  const std::string recycled = StoreFixture::WriteDrawing(
      store.Recycle() + "/[work][site][" + app.substr(app.rfind('/') + 1) + "][x].001/Fol.005");
  const std::string outside = StoreFixture::WriteDrawing(store.dir() / "HNY/Fol.005");

  EXPECT_EQ(ListedDrawingFolder(store.env(), drawing), drawing);
  EXPECT_EQ(ListedDrawingFolder(store.env(), drawing + "/"), drawing);
  for (const std::string& path :
       {drawing + "/BKUP", app + "/Fol.000", app + "/Fol.05", app + "/Fol.1000", app + "/Fol.x12",
        app + "/Drawing.005", app + "/Fol.006", app + "/Fol.007", recycled, outside, app})
    EXPECT_EQ(ListedDrawingFolder(store.env(), path), "") << path;
}

TEST(ListedDrawingFolder, AnyPathToTheFolderGivesTheStoresSpelling) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  const std::string drawing = store.WriteAppDrawing(0x1, 5);
  const std::string lower = app + "/fol.005";
  EXPECT_EQ(ListedDrawingFolder(store.env(), lower), drawing);
  // The application folder reached through a link elsewhere.
  const std::string linked = store.dir() / "elsewhere";
  ASSERT_EQ(mkdir(linked.c_str(), 0777), 0);
  const std::string appName = app.substr(app.rfind('/') + 1);
  ASSERT_EQ(symlink(app.c_str(), (linked + "/" + appName).c_str()), 0);
  EXPECT_EQ(ListedDrawingFolder(store.env(), linked + "/" + appName + "/Fol.005"), drawing);
}

TEST(ReadFolderMember, TheRecordOfOneDrawing) {
  StoreFixture store;
  DrawingSpec spec;
  spec.title = "平面図";
  spec.pages = 3;
  const std::string drawing = store.WriteAppDrawing(0x4, 7, spec);
  FolMember record;
  record.lockState = 9;  // replaced whole
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, nullptr, record), 0);
  EXPECT_EQ(record.path, drawing);
  EXPECT_EQ(record.appId, 0x4);
  EXPECT_EQ(record.header.Title(), "平面図");
  EXPECT_EQ(record.header.pageCount, 3);
  EXPECT_EQ(record.fileState, 0);
  EXPECT_EQ(record.lockState, 0);

  // An index file named in another case, as a store copied from Windows has it.
  const std::string copied = store.AppFolder(0x4) + "/Fol.008";
  test::WriteFileBytes(copied + "/index.vxf", test::HeaderBytes(test::MakeHeader(spec)));
  EXPECT_EQ(ReadFolderMember(store.env(), copied, nullptr, record), 0);
  EXPECT_EQ(record.header.Title(), "平面図");

  ASSERT_EQ(chmod((drawing + "/INDEX.VXF").c_str(), 0444), 0);
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, nullptr, record), 0);
  EXPECT_EQ(record.fileState, 2);
}

TEST(ReadFolderMember, FailuresSayWhatFailed) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  FolMember record;
  EXPECT_EQ(ReadFolderMember(store.env(), app + "/Fol.001", nullptr, record), ENOENT);
  EXPECT_EQ(record.fileState, 1);
  // A short index file gives what it holds, as in a load; a read error fails.
  test::WriteFileBytes(app + "/Fol.002/INDEX.VXF", std::string(100, 'x'));
  EXPECT_EQ(ReadFolderMember(store.env(), app + "/Fol.002", nullptr, record), 0);
  {
    platform::FaultEnv faults;
    faults.Fail(platform::Op::Read, EIO, "Fol.002/INDEX.VXF");
    platform::ScopedEnv scoped(faults);
    EXPECT_EQ(ReadFolderMember(store.env(), app + "/Fol.002", nullptr, record), -1);
    EXPECT_EQ(record.fileState, 1);
  }
  const std::string linked = app + "/Fol.003";
  ASSERT_EQ(mkdir(linked.c_str(), 0777), 0);
  StoreFixture::WriteDrawing(app + "/Fol.004");
  ASSERT_EQ(symlink((app + "/Fol.004/INDEX.VXF").c_str(), (linked + "/INDEX.VXF").c_str()), 0);
  EXPECT_GT(ReadFolderMember(store.env(), linked, nullptr, record), 0);  // never through a link
}

TEST(ReadFolderMember, LockStateAsTheListShowsIt) {
  // Another lock service of this process is another holder, as another process is.
  StoreFixture store;
  const std::string drawing = store.WriteAppDrawing(0x1, 2);
  VexaFolderLock other(&store.env());
  VexaFolderLock mine(&store.env());
  FolMember record;
  ASSERT_EQ(other.LockPage(drawing.c_str(), 3), 1);
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, &mine, record), 0);
  EXPECT_EQ(record.lockState, 1);  // a page below 500 makes the drawing in use
  other.UnLockPage(drawing.c_str(), 3);
  ASSERT_EQ(other.LockPage(drawing.c_str(), 600), 1);
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, &mine, record), 0);
  EXPECT_EQ(record.lockState, 0);  // pages from 500 on are never scanned
  other.UnLockPage(drawing.c_str(), 600);
  ASSERT_EQ(other.LockZmn(drawing.c_str()), 1);
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, &mine, record), 0);
  EXPECT_EQ(record.lockState, 1);
  other.UnLockZmn(drawing.c_str());
  EXPECT_EQ(ReadFolderMember(store.env(), drawing, &mine, record), 0);
  EXPECT_EQ(record.lockState, 0);
}

}  // namespace
}  // namespace vexa
