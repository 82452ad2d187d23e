// The store's names and numbers as every layer reads them: the folder list,
// the lock service and the case lookup must agree on which drawing a folder is
// and which names are lock files.
#include "vexafol/store_layout.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/store_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "vexafol/drawing_lock_files.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou_ids.h"
#include "vexafol/store_name.h"

namespace vexa {
namespace {

TEST(DrawingNumber, FolderListAndLockServiceReadOneNumber) {
  test::TestEnviron env;
  const std::pair<const char*, int> cases[] = {
      {"/app/Fol.001", 1},
      {"/app/fol.999", 999},
      {"/app/FOL.012", 12},
      {"/app/Fol", 0},
      {"/app/Fol.x1", 0},
      {"/app/Fol.007abc", 7},
      {"/app/Fol.0007", 7},
      {"/app/Fol.99999999999", INT_MAX},
      {"/app/Fol.-5", -5},
      {"/app/Fol.1000", 1000},
      {"", 0},
  };
  for (const auto& [path, number] : cases) {
    EXPECT_EQ(DrawingNumberOf(env, path), number) << path;
    FolMember member;
    member.path = path;
    // The number users see, the list's zero-based number and the lock byte.
    EXPECT_EQ(member.GetDrawingNo(env), number) << path;
    EXPECT_EQ(member.GetFolderNo(env) + 1, member.GetDrawingNo(env)) << path;
    const DrawingLockFiles files = GetDrawingLockFiles(env, path);
    EXPECT_EQ(files.folderNo, number) << path;
  }
}

TEST(DrawingNumber, BackupFoldersCountAsTheirDrawingOnlyForTheList) {
  test::TestEnviron env;
  FolMember backup;
  backup.path = "/app/Fol.007/BKUP.002";
  EXPECT_EQ(backup.GetDrawingNo(env), 7);
  // The lock service never takes a backup folder for its drawing.
  EXPECT_EQ(DrawingNumberOf(env, backup.path), 2);
  backup.path = "/app/Fol.007/BKUP";
  EXPECT_EQ(backup.GetDrawingNo(env), 7);
  EXPECT_FALSE(GetDrawingLockFiles(env, backup.path).lockable);
}

TEST(DrawingNumber, OnlyTheDrawingNumbersAreLockable) {
  test::StoreFixture store;
  const std::string app = store.AppFolder(kAppGeneral);
  EXPECT_TRUE(GetDrawingLockFiles(store.env(), app + "/Fol.001").lockable);
  EXPECT_TRUE(GetDrawingLockFiles(store.env(), app + "/Fol.999").lockable);
  for (const char* name : {"/Fol.000", "/Fol.1000", "/Fol"})
    EXPECT_FALSE(GetDrawingLockFiles(store.env(), app + name).lockable) << name;
  static_assert(DrawingNumberBits().size() == kLastDrawingNo + 1);
  static_assert(kDrawingLockFileLength == kLastDrawingNo + 1, "byte n is drawing n");
  static_assert(kPageLockFileLength > static_cast<uint64_t>(kScannedPages));
}

TEST(LockFileNames, UsedExactlyAndNeverLookedUpIgnoringCase) {
  for (const char* name : {"CADAPP.LOC", "cadapp.loc", "FOL001.LOC", "fol999.loc", "x.Loc", ".LOC",
                           "LOCK.TMP", "lock.tmp"})
    EXPECT_TRUE(IsLockFileName(name)) << name;
  for (const char* name :
       {"INDEX.VXF", "LOCK.TMP2", "LOC", "CADAPP.LOCK", "Fol.001", "", "LOCK.TM", "RECYCCAD"})
    EXPECT_FALSE(IsLockFileName(name)) << name;

  // A lock file differing in case is another file: the lookup gives the path
  // as asked, while any other store name resolves to the one on disk.
  test::TempDir dir;
  test::WriteFileBytes(dir / "app/cadapp.loc", "");
  test::WriteFileBytes(dir / "app/fol007.loc", "");
  test::WriteFileBytes(dir / "app/fol.007/index.vxf", "");
  EXPECT_EQ(ResolveStoreName(dir / "app/CADAPP.LOC"), dir / "app/CADAPP.LOC");
  EXPECT_EQ(ResolveStoreName(dir / "app/FOL007.LOC"), dir / "app/FOL007.LOC");
  EXPECT_EQ(ResolveStoreName(dir / "APP/Fol.007/INDEX.VXF"), dir / "app/fol.007/index.vxf");
}

}  // namespace
}  // namespace vexa
