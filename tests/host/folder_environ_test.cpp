#include "vexafol/folder_environ.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

// The container name that a deletion gives a drawing of application id.
std::string ContainerOf(const CEnvironObj& env, int id, int slot) {
  const std::string data = env.GetDataPath();
  return "[" + env.GetFolderName(data, env.GetFNo()) + env.GetExtStr(env.GetFNo()) + "][" +
         env.GetGenbaName(data, env.GetFNo(), env.GetGNo()) + env.GetExtStr(env.GetGNo()) + "][" +
         env.GetFileNameFromRelativePath(GetSenyouPath(env, id)) + "][図面]" + env.GetExtStr(slot);
}

TEST(FolderEnviron, LaysOutTheHostFolders) {
  FolderEnvironOptions options;
  options.appType = 3;
  options.folderNo = 12;
  options.siteNo = 3;
  options.folderName = "業務";
  options.siteName = "現場A";
  const FolderEnvironObj env("/srv/vexa/", options);
  EXPECT_EQ(env.GetPath(0x1010000), "/srv/vexa/BIN");
  EXPECT_EQ(env.GetPath(0x3030500), "/srv/vexa/DATA/業務.012/現場A.003/CAD/JDN");
  EXPECT_EQ(env.GetPath(0x3030800), "");
  // Without a root only a given data path remains.
  EXPECT_EQ(FolderEnvironObj("").GetPath(0x3030100), "");
  FolderEnvironOptions dataOnly;
  dataOnly.dataPath = "/elsewhere/data/";
  EXPECT_EQ(FolderEnvironObj("", dataOnly).GetPath(0x3030200),
            "/elsewhere/data/WORK.001/SITE.001/CAD/YCH");
}

TEST(FolderEnviron, EveryApplicationFolderComesBackFromItsRecycleName) {
  test::TempDir dir;
  FolderEnvironOptions options;
  options.folderNo = 5;
  options.siteNo = 21;
  options.folderName = "a/b[c]";  // would break paths and tokens unless made safe
  const FolderEnvironObj env(dir.path(), options);
  EXPECT_EQ(env.GetFolderName(env.GetDataPath(), 5), "a／b［c］");
  std::string recycle = env.GetDataPath();
  env.AddFileName(recycle, "RECYCCAD");
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    const std::string folder = GetSenyouPath(env, id);
    if (folder.empty()) continue;
    SCOPED_TRACE(folder);
    // A drawing maps back to its application, in place and in the recycle folder.
    EXPECT_EQ(GetPathToSenyouId(env, folder + "/Fol.001"), id);
    EXPECT_EQ(GetPathToSenyouId(env, recycle + "/" + ContainerOf(env, id, 1) + "/Fol.001"), id);
    // The folder can be made and found where the layout says.
    EXPECT_NE(env.CreateDir(folder, 1), 0);
    EXPECT_EQ(env.IsExist(folder), 1);
  }
}

TEST(FolderEnviron, NamesOfOtherFoldersAndSitesComeFromTheDisk) {
  test::TempDir dir;
  const FolderEnvironObj env(dir.path());
  const std::string data = env.GetDataPath();
  for (const char* folder : {"橋梁.002/現場B.004", "橋梁.002/現場C.4x", "old.003", "file.007"}) {
    test::WriteFileBytes(data + "/" + folder + "/x", "");
  }
  test::WriteFileBytes(data + "/plain.009", "");
  EXPECT_EQ(env.GetFolderName(data, 1), "WORK");
  EXPECT_EQ(env.GetFolderName(data, 2), "橋梁");
  EXPECT_EQ(env.GetFolderName(data, 9), "");  // a file, not a folder
  EXPECT_EQ(env.GetGenbaName(data, 2, 4), "現場B");
  EXPECT_EQ(env.GetGenbaName(dir / "nowhere", 2, 4), "");
}

TEST(FolderEnviron, UserDataRoundTripAndDefaultFile) {
  test::TempDir dir;
  FolderEnvironOptions options;
  options.userDataFile = dir / "conf/user.ini";
  const FolderEnvironObj env(dir.path(), options);
  std::string out = "untouched";
  EXPECT_EQ(env.GetUserDataStr("VEXA", "FILEDLG", "SORTTYPE", out), 0);
  EXPECT_EQ(out, "untouched");
  EXPECT_NE(env.SetUserDataStr("VEXA", "", "TITLE", "図面一覧"), 0);
  const FolderEnvironObj again("", options);  // another object on the same file
  EXPECT_EQ(again.GetUserDataStr("VEXA", "", "TITLE", out), 1);
  EXPECT_EQ(out, "図面一覧");

  // Without a file given: an absolute $XDG_CONFIG_HOME, else ~/.config, else none.
  const char* oldHome = std::getenv("HOME");
  const std::string home = oldHome ? oldHome : "";
  ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  EXPECT_NE(FolderEnvironObj("").SetUserDataStr("VEXA", "FILEDLG", "ITEM_CNT", "4"), 0);
  EXPECT_NE(test::ReadFileBytes(dir / "vexafol/userdata.ini").find("[VEXA/FILEDLG]"),
            std::string::npos);
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  ::setenv("HOME", dir.path().c_str(), 1);
  EXPECT_EQ(FolderEnvironObj("").UserDataFile(), dir / ".config/vexafol/userdata.ini");
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(FolderEnvironObj("").SetUserDataStr("VEXA", "FILEDLG", "ITEM_CNT", "4"), 0);
  if (oldHome) ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace vexa
