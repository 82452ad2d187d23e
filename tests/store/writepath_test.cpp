#include "vexafol/writepath.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini.h"
#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"

namespace vexa {
namespace {

// The real system with the computer and user names a test chooses, and calls
// that a test may fail.
class NamedEnv : public platform::FaultEnv {
 public:
  std::string host = "pc1";
  std::string user = "sato";
  std::string HostName() override { return host; }
  std::string UserName() override { return user; }
};

class WritePathTest : public testing::Test {
 protected:
  WritePathTest() : scoped_(names_) {
    env_.paths = {{0x3040000, dir_ / "settings"},
                  {0x1010000, "/opt/vexa/bin"},
                  {0x3030100, dir_ / "APPK"},
                  {0x3030200, dir_ / "YOUCHI"},
                  {0x3030500, dir_ / "JDN"}};
  }
  std::string Ini() const { return dir_ / "settings/VXWTDEF.INI"; }
  std::string Key(const char* key) const {
    return platform::GetProfileString(Ini(), "PC1,sato", key, "none");
  }

  test::TempDir dir_;
  NamedEnv names_;
  platform::ScopedEnv scoped_;
  test::TestEnviron env_;
};

TEST_F(WritePathTest, RoundTripStoresPathsRelativeToTheApplication) {
  ASSERT_EQ(SetVexaWritePath(env_, "/somewhere/else/jdnapp.exe", dir_ / "JDN/ODN/Fol.004"), 1);
  EXPECT_EQ(Key("EXE"), "jdnapp.exe");
  EXPECT_EQ(Key("APPID"), "32");
  EXPECT_EQ(Key("PATH"), "Fol.004");

  std::string exe, path;
  ASSERT_EQ(GetVexaWritePath(env_, exe, path), 1);
  EXPECT_EQ(exe, "/opt/vexa/bin/jdnapp.exe");  // the host's folder, not the one given
  EXPECT_EQ(path, dir_ / "JDN/ODN/Fol.004");
  env_.paths[0x3030500] = "/moved/JDN";  // the application folder moved: the setting follows
  ASSERT_EQ(GetVexaWritePath(env_, exe, path), 1);
  EXPECT_EQ(path, "/moved/JDN/ODN/Fol.004");
  // Undecided paths belong to id 4 and are cut by the length of its folder, dir/YOUCHI.
  const std::string outside = dir_ / "OTHERS/drawings/x";
  ASSERT_EQ(SetVexaWritePath(env_, "a.exe", outside), 1);
  EXPECT_EQ(Key("APPID"), "4");
  EXPECT_EQ(Key("PATH"), outside.substr((dir_ / "YOUCHI").size() + 1));
}

TEST_F(WritePathTest, SeparateSettingsPerComputerAndUserAndEmptyPathRemovesOne) {
  EXPECT_EQ(SetVexaWritePath(env_, "a.exe", ""), 1);  // nothing there: still success
  ASSERT_EQ(SetVexaWritePath(env_, "a.exe", dir_ / "APPK/Fol.001"), 1);
  names_.host = "pc2.example.org";
  ASSERT_EQ(SetVexaWritePath(env_, "b.exe", dir_ / "YOUCHI/Fol.002"), 1);
  std::string exe, path;
  ASSERT_EQ(GetVexaWritePath(env_, exe, path), 1);
  EXPECT_EQ(path, dir_ / "YOUCHI/Fol.002");
  names_.host = "pc1";
  ASSERT_EQ(GetVexaWritePath(env_, exe, path), 1);
  EXPECT_EQ(exe, "/opt/vexa/bin/a.exe");
  EXPECT_EQ(path, dir_ / "APPK/Fol.001");
  names_.user = "tanaka";
  EXPECT_EQ(GetVexaWritePath(env_, exe, path), 0);
  names_.user = "sato";
  ASSERT_EQ(SetVexaWritePath(env_, "", ""), 1);  // only this computer's section goes
  EXPECT_EQ(Key("EXE"), "none");
  names_.host = "pc2";
  EXPECT_EQ(GetVexaWritePath(env_, exe, path), 1);
}

TEST_F(WritePathTest, MissingFileOrPathKey) {
  std::string exe, path = "keep";
  std::filesystem::create_directories(dir_ / "settings");
  ASSERT_TRUE(platform::WriteProfileString("PC1,sato", "EXE", "x.exe", Ini()));
  ASSERT_TRUE(platform::WriteProfileString("PC1,sato", "APPID", "16", Ini()));
  EXPECT_EQ(GetVexaWritePath(env_, exe, path), 0);  // no PATH: exe already set
  EXPECT_EQ(exe, "/opt/vexa/bin/x.exe");
  EXPECT_EQ(path, "keep");
}

TEST_F(WritePathTest, FailuresGiveZero) {
  names_.Fail(platform::Op::MakeDirAt, EACCES);
  EXPECT_EQ(SetVexaWritePath(env_, "a.exe", dir_ / "APPK/Fol.001"), 0);  // no folder
  EXPECT_FALSE(std::filesystem::exists(dir_ / "settings"));

  std::filesystem::create_directories(dir_ / "settings");
  names_.Clear();
  names_.Fail(platform::Op::Rename, EIO, "VXWTDEF", 1);  // the second write fails
  EXPECT_EQ(SetVexaWritePath(env_, "a.exe", dir_ / "APPK/Fol.001"), 0);
  names_.Clear();
  EXPECT_EQ(Key("EXE"), "a.exe");  // kept
  EXPECT_EQ(Key("APPID"), "none");
  std::string exe, path;
  EXPECT_EQ(GetVexaWritePath(env_, exe, path), 0);
}

}  // namespace
}  // namespace vexa
