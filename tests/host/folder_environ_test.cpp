#include "vexafol/folder_environ.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/case_lookup.h"
#include "tests/support/temp_dir.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

// The application folder that the recycle scan rebuilds from a container name:
// parent of the recycle folder + tokens 1 and 2 + "CAD" (+ "JDN"/"CVL") + token 3.
std::string ScanPathOf(const CEnvironObj& env, const std::string& recycle, std::string name) {
  std::string path = env.GetDirNameFromRelativePath(recycle);
  for (int k = 0; k < 3; ++k) {
    const size_t open = name.find('['), close = name.find(']');
    if (open == std::string::npos || close == std::string::npos) return path;
    const std::string token = name.substr(open + 1, close - open - 1);
    if (k == 2) {
      env.AddFileName(path, "CAD");
      if (platform::EqualsNoCase(token, "JDN") || platform::EqualsNoCase(token, "ODN")) {
        env.AddFileName(path, "JDN");
      } else if (platform::EqualsNoCase(token, "TNK")) {
        env.AddFileName(path, "CVL");
      }
    }
    env.AddFileName(path, token);
    name.erase(0, close + 1);
  }
  return path;
}

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
  EXPECT_EQ(env.GetHomePath(0x3000000), "/srv/vexa");
  EXPECT_EQ(env.GetHomePath(0x3000001), "");
  EXPECT_EQ(env.GetDataPath(), "/srv/vexa/DATA");
  EXPECT_EQ(env.GetPath(0x1010000), "/srv/vexa/BIN");
  EXPECT_EQ(env.GetPath(0x2040000), "/srv/vexa/FORMS");
  EXPECT_EQ(env.GetPath(0x3040000), "/srv/vexa/SETTINGS");
  EXPECT_EQ(env.GetPath(0x3030500), "/srv/vexa/DATA/業務.012/現場A.003/CAD/JDN");
  EXPECT_EQ(env.GetPath(0x3030B00), "/srv/vexa/DATA/業務.012/現場A.003/CAD/CVL");
  EXPECT_EQ(env.GetPath(0x3030100), "/srv/vexa/DATA/業務.012/現場A.003/CAD/HNY");
  EXPECT_EQ(env.GetPath(0x3030800), "");
  EXPECT_EQ(env.GetPath(0), "");
  EXPECT_EQ(GetSenyouPath(env, 0x20), "/srv/vexa/DATA/業務.012/現場A.003/CAD/JDN/ODN");
  EXPECT_EQ(GetSenyouPath(env, 0x2000), "/srv/vexa/DATA/業務.012/現場A.003/CAD/CVL/TNK");
  EXPECT_EQ(env.GetAppType(), 3u);
  EXPECT_EQ(env.GetFNo(), 12);
  EXPECT_EQ(env.GetGNo(), 3);
  EXPECT_EQ(env.GetFolderName("/srv/vexa/DATA/", 12), "業務");
  EXPECT_EQ(env.GetGenbaName("/srv/vexa/DATA", 12, 3), "現場A");
}

TEST(FolderEnviron, WithoutRootOnlyAGivenDataPathRemains) {
  const FolderEnvironObj bare("");
  EXPECT_EQ(bare.GetDataPath(), "");
  EXPECT_EQ(bare.GetHomePath(0x3000000), "");
  EXPECT_EQ(bare.GetPath(0x3030100), "");
  EXPECT_EQ(bare.GetPath(0x1010000), "");
  FolderEnvironOptions options;
  options.dataPath = "/elsewhere/data/";
  const FolderEnvironObj data("", options);
  EXPECT_EQ(data.GetDataPath(), "/elsewhere/data");
  EXPECT_EQ(data.GetPath(0x3030200), "/elsewhere/data/WORK.001/SITE.001/CAD/YCH");
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
  int checked = 0;
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    const std::string folder = GetSenyouPath(env, id);
    if (folder.empty()) continue;
    ++checked;
    SCOPED_TRACE(folder);
    const std::string container = ContainerOf(env, id, 1);
    EXPECT_TRUE(platform::EqualsNoCase(ScanPathOf(env, recycle, container), folder));
    // A drawing maps back to its application, in place and in the recycle folder.
    EXPECT_EQ(GetPathToSenyouId(env, folder + "/Fol.001"), id);
    EXPECT_EQ(GetPathToSenyouId(env, recycle + "/" + container + "/Fol.001"), id);
    // The folder can be made and found where the layout says.
    EXPECT_NE(env.CreateDir(folder, 1), 0);
    EXPECT_EQ(env.IsExist(folder), 1);
  }
  EXPECT_EQ(checked, 11);
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
  EXPECT_EQ(env.GetFolderName(data, 3), "old");
  EXPECT_EQ(env.GetFolderName(data, 9), "");  // a file, not a folder
  EXPECT_EQ(env.GetFolderName(data, 4), "");
  EXPECT_EQ(env.GetGenbaName(data, 2, 4), "現場B");
  EXPECT_EQ(env.GetGenbaName(data, 2, 5), "");
  EXPECT_EQ(env.GetGenbaName(data, 4, 1), "");
  EXPECT_EQ(env.GetGenbaName(dir / "nowhere", 2, 4), "");
}

TEST(FolderEnviron, UserDataRoundTrip) {
  test::TempDir dir;
  FolderEnvironOptions options;
  options.userDataFile = dir / "conf/user.ini";
  const FolderEnvironObj env(dir.path(), options);
  std::string out = "untouched";
  EXPECT_EQ(env.GetUserDataStr("VEXA", "FILEDLG", "SORTTYPE", out), 0);
  EXPECT_EQ(out, "untouched");
  EXPECT_NE(env.SetUserDataStr("VEXA", "FILEDLG", "SORTTYPE", "5"), 0);
  EXPECT_NE(env.SetUserDataStr("VEXA", "FILEDLG", "NAME_MAX", ""), 0);
  EXPECT_NE(env.SetUserDataStr("VEXA", "", "TITLE", "図面一覧"), 0);
  EXPECT_EQ(env.GetUserDataStr("VEXA", "FILEDLG", "SORTTYPE", out), 1);
  EXPECT_EQ(out, "5");
  EXPECT_EQ(env.GetUserDataStr("VEXA", "FILEDLG", "NAME_MAX", out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(env.GetUserDataStr("VEXA", "", "TITLE", out), 1);
  EXPECT_EQ(out, "図面一覧");
  EXPECT_EQ(env.GetUserDataStr("VEXA", "OTHER", "SORTTYPE", out), 0);
  EXPECT_EQ(env.SetUserDataStr("VEXA", "FILEDLG", "BAD", "two\nlines"), 0);
  // Another object on the same file sees the settings.
  const FolderEnvironObj again("", options);
  EXPECT_EQ(again.GetUserDataStr("VEXA", "FILEDLG", "SORTTYPE", out), 1);
}

// Restores an environment variable when it goes out of scope.
class ScopedVariable {
 public:
  explicit ScopedVariable(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_ = value != nullptr;
    if (had_) value_ = value;
  }
  ~ScopedVariable() {
    if (had_) {
      ::setenv(name_, value_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_;
  std::string value_;
};

TEST(FolderEnviron, UserDataDefaultsToTheXdgConfigFolder) {
  test::TempDir dir;
  const ScopedVariable xdg("XDG_CONFIG_HOME"), home("HOME");
  ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  const FolderEnvironObj env("");
  EXPECT_EQ(env.UserDataFile(), dir / "vexafol/userdata.ini");
  EXPECT_NE(env.SetUserDataStr("VEXA", "FILEDLG", "ITEM_CNT", "4"), 0);
  EXPECT_NE(test::ReadFileBytes(dir / "vexafol/userdata.ini").find("[VEXA/FILEDLG]"),
            std::string::npos);
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  ::setenv("HOME", dir.path().c_str(), 1);
  EXPECT_EQ(FolderEnvironObj("").UserDataFile(), dir / ".config/vexafol/userdata.ini");
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  const FolderEnvironObj nowhere("");
  EXPECT_EQ(nowhere.UserDataFile(), "");
  EXPECT_EQ(nowhere.SetUserDataStr("VEXA", "FILEDLG", "ITEM_CNT", "4"), 0);
}

}  // namespace
}  // namespace vexa
