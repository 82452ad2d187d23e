#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/case_lookup.h"
#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "vexafol/hooks.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using platform::ScopedEnv;

TEST(EnvironPaths, AddFileNameJoinsWithOneSeparator) {
  const test::TestEnviron env;
  const struct {
    std::string path, name, joined;
  } cases[] = {
      {"a/b", "c", "a/b/c"}, {"a/b/", "c", "a/b/c"}, {"", "c", "c"},  {"/", "c", "/c"},
      {"a/", "//c", "a/c"},  {"a", "", "a"},         {"a", "/", "a"}, {"a", "b/c", "a/b/c"},
  };
  for (const auto& c : cases) {
    std::string path = c.path;
    env.AddFileName(path, c.name);
    EXPECT_EQ(path, c.joined) << "'" << c.path << "' + '" << c.name << "'";
  }
}

TEST(EnvironPaths, SplittingFollowsWindowsSplitPath) {
  const test::TestEnviron env;
  const struct {
    std::string path, file, dir, base, ext, volume, relative;
  } cases[] = {
      // path           file        dir   base   ext      volume relative
      {"/d/Fol.012", "Fol.012", "/d", "Fol", ".012", "/", "d/Fol.012"},
      {"/a", "a", "/", "a", "", "/", "a"},
      {"/", "", "", "", "", "/", ""},
      {"a/b/", "b", "a", "b", "", "", "a/b/"},
      {".bashrc", ".bashrc", "", "", ".bashrc", "", ".bashrc"},
      {"[a.001][JDN][t].003", "[a.001][JDN][t].003", "", "[a.001][JDN][t]", ".003", "",
       "[a.001][JDN][t].003"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("path '" + c.path + "'");
    EXPECT_EQ(env.GetFileNameFromRelativePath(c.path), c.file);
    EXPECT_EQ(env.GetDirNameFromRelativePath(c.path), c.dir);
    EXPECT_EQ(env.GetBaseNameFromFileName(c.path), c.base);
    EXPECT_EQ(env.GetExtNameFromFileName(c.path), c.ext);
    EXPECT_EQ(env.GetVolumePath(c.path), c.volume);
    EXPECT_EQ(env.GetRelativePath(c.path), c.relative);
  }
}

TEST(EnvironPaths, ExtensionNumbersReadBackTheirText) {
  const test::TestEnviron env;
  EXPECT_EQ(env.GetExtStr(7), ".007");
  for (int n : {0, 999, 1000}) EXPECT_EQ(env.GetExtNumber("Fol" + env.GetExtStr(n)), n);
  EXPECT_EQ(env.GetExtNumber("/d/x.y/Fol.012"), 12);
  for (const char* none : {"Fol", "Fol.", "Fol.0a1", "Fol.-1", "x.007/Fol", "Fol.1234567890"}) {
    EXPECT_EQ(env.GetExtNumber(none), -1) << none;
  }
}

TEST(EnvironServices, RightsFollowTheHook) {
  const test::TestEnviron env;
  EXPECT_NE(env.IsOpeAllowed(0x1e0203), 0);
  RightsHook previous = SetRightsHook([](unsigned long code) { return code == 0x1e0200 ? 1 : 0; });
  EXPECT_NE(env.IsOpeAllowed(0x1e0200), 0);
  EXPECT_EQ(env.IsOpeAllowed(0x1e0203), 0);
  SetRightsHook(previous);
}

TEST(WaitCursor, NestedCursorsShowOnceAndEndAtTheOutermost) {
  static std::string calls;  // the hooks take no captures
  WaitCursorHook previous = SetWaitCursorHook([](bool show) { calls += show ? "+" : "-"; });
  {
    WaitCursor outer;
    {
      WaitCursor inner;
      EXPECT_EQ(calls, "+");
    }
    EXPECT_EQ(calls, "+");
    // A hook installed meanwhile does not receive the end of a cursor it never began.
    SetWaitCursorHook([](bool show) { calls += show ? "B" : "E"; });
  }
  EXPECT_EQ(calls, "+-");
  { WaitCursor again; }
  EXPECT_EQ(calls, "+-BE");
  SetWaitCursorHook(nullptr);  // no hook: nothing happens
  { WaitCursor silent; }
  EXPECT_EQ(calls, "+-BE");
  SetWaitCursorHook(previous);
}

class EnvironFiles : public ::testing::Test {
 protected:
  test::TempDir dir_;
  test::TestEnviron env_;
};

TEST_F(EnvironFiles, IsExistFindsStoreNamesInAnyCaseButNotLockFiles) {
  test::WriteFileBytes(dir_ / "app/fol.007/index.vxf", "x");
  EXPECT_EQ(env_.IsExist(dir_ / "app/Fol.007/"), 1);
  EXPECT_EQ(env_.IsExist(dir_ / "APP/FOL.007/INDEX.VXF"), 0);
  EXPECT_LT(env_.IsExist(dir_ / "app/Fol.008"), 0);
  // Only the existing part resolves; the rest stays as asked.
  EXPECT_EQ(platform::ResolveStoreName(dir_ / "App/Fol.007/BKUP/INDEX.VXF", IsLockFileName),
            dir_ / "app/fol.007/BKUP/INDEX.VXF");
  // The exact name first, then the smallest of the differently cased twins.
  test::WriteFileBytes(dir_ / "app/FOL.007/x", "");
  EXPECT_EQ(platform::ResolveStoreName(dir_ / "app/Fol.007", IsLockFileName), dir_ / "app/FOL.007");
  EXPECT_EQ(platform::ResolveStoreName(dir_ / "app/fol.007", IsLockFileName), dir_ / "app/fol.007");

  test::WriteFileBytes(dir_ / "app/cadapp.loc", "");
  test::WriteFileBytes(dir_ / "app/fol007.loc", "");
  FaultEnv faults;
  ScopedEnv scoped(faults);
  for (const char* name : {"CADAPP.LOC", "FOL007.LOC"})
    EXPECT_LT(env_.IsExist(dir_ / "app/" + name), 0) << name;
  EXPECT_EQ(faults.Calls(Op::ListDir), 0);  // lock files are never looked up in another case
  // An unreadable folder on the way gives up quietly.
  faults.Fail(Op::ListDir, EACCES);
  EXPECT_LT(env_.IsExist(dir_ / "app/Fol.007"), 0);
}

TEST_F(EnvironFiles, CreateDir) {
  const std::string file = dir_ / "a/b/c/INDEX.VXF";
  EXPECT_NE(env_.CreateDir(file, 0), 0);  // the folders on the way
  EXPECT_EQ(env_.IsExist(dir_ / "a/b/c"), 1);
  EXPECT_LT(env_.IsExist(file), 0);
  EXPECT_NE(env_.CreateDir(dir_ / "a/b", 1), 0);  // already there
  // A differently cased folder is reused.
  test::WriteFileBytes(dir_ / "app/fol.007/index.vxf", "x");
  EXPECT_NE(env_.CreateDir(dir_ / "app/Fol.007/BKUP", 1), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "app/fol.007/BKUP"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "app/Fol.007"));
  // Failures: a file in the way, a failing mkdir.
  test::WriteFileBytes(dir_ / "file", "x");
  EXPECT_EQ(env_.CreateDir(dir_ / "file/sub", 1), 0);
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::MakeDirAt, EACCES, "new");
  EXPECT_EQ(env_.CreateDir(dir_ / "new/sub/x", 0), 0);
  EXPECT_EQ(platform::LastSystemError(), EACCES);
  // Something other than a folder in the way names the cause.
  faults.Clear();
  EXPECT_EQ(env_.CreateDir(dir_ / "file", 1), 0);
  EXPECT_EQ(platform::LastSystemError(), ENOTDIR);
}

TEST_F(EnvironFiles, RemoveDirRemovesContentsOnlyWhenAskedAndNeverFollowsLinks) {
  test::WriteFileBytes(dir_ / "f/Fol.001/INDEX.VXF", "x");
  test::WriteFileBytes(dir_ / "keep/precious", "x");
  ASSERT_EQ(::symlink((dir_ / "keep").c_str(), (dir_ / "f/link").c_str()), 0);
  EXPECT_EQ(env_.RemoveDir(dir_ / "f", 0), 0);
  EXPECT_EQ(env_.IsExist(dir_ / "f/Fol.001/INDEX.VXF"), 0);
  EXPECT_NE(env_.RemoveDir(dir_ / "f", 1), 0);
  EXPECT_LT(env_.IsExist(dir_ / "f"), 0);
  EXPECT_EQ(env_.IsExist(dir_ / "keep/precious"), 0);
  EXPECT_EQ(env_.RemoveDir(dir_ / "f", 1), 0);              // nothing there
  EXPECT_EQ(env_.RemoveDir(dir_ / "keep/precious", 1), 0);  // a file is not a folder
  EXPECT_EQ(env_.IsExist(dir_ / "keep/precious"), 0);
  // A folder that is itself a link: the link goes, what it points at stays.
  ASSERT_EQ(::symlink((dir_ / "keep").c_str(), (dir_ / "Fol.002").c_str()), 0);
  EXPECT_EQ(env_.RemoveDir(dir_ / "Fol.002", 0), 0);
  EXPECT_NE(env_.RemoveDir(dir_ / "Fol.002/", 1), 0);
  EXPECT_LT(env_.IsExist(dir_ / "Fol.002"), 0);
  EXPECT_EQ(env_.IsExist(dir_ / "keep/precious"), 0);
  // The first failure stops the removal and is reported.
  test::WriteFileBytes(dir_ / "f/sub/b", "x");
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::UnlinkAt, EBUSY, "sub");
  EXPECT_EQ(env_.RemoveDir(dir_ / "f", 1), 0);
  EXPECT_EQ(env_.IsExist(dir_ / "f/sub"), 1);
}

}  // namespace
}  // namespace vexa
