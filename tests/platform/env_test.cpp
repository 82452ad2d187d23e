// The Env seam's rename that never replaces, and the last system error it
// keeps for steps that report only success or failure.
#include "platform/env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/fault_env.h"
#include "tests/support/temp_dir.h"

namespace vexa::platform {
namespace {

TEST(Env, RenameNoReplaceNeverReplacesAndKeepsTheLastError) {
  test::TempDir dir;
  Env& env = CurrentEnv();
  ASSERT_EQ(env.MakeDir(dir / "a", 0777), 0);
  ASSERT_EQ(env.MakeDir(dir / "empty", 0777), 0);
  test::WriteFileBytes(dir / "a/file", "x");
  test::WriteFileBytes(dir / "other", "y");

  SetLastSystemError(0);
  // rename(2) would replace the empty folder and the file; this refuses.
  EXPECT_EQ(env.RenameNoReplace(dir / "a", dir / "empty"), -EEXIST);
  EXPECT_EQ(LastSystemError(), EEXIST);
  EXPECT_EQ(env.RenameNoReplace(dir / "a/file", dir / "other"), -EEXIST);
  EXPECT_EQ(test::ReadFileBytes(dir / "other"), "y");
  EXPECT_EQ(env.RenameNoReplace(dir / "a", dir / "b"), 0);
  EXPECT_EQ(test::ReadFileBytes(dir / "b/file"), "x");

  // A success leaves the last error as it was, as GetLastError does.
  EXPECT_EQ(LastSystemError(), EEXIST);
  EXPECT_EQ(env.RemoveDir(dir / "missing"), -ENOENT);
  EXPECT_EQ(LastSystemError(), ENOENT);

  FaultEnv faults;
  faults.Fail(Op::Rename, EXDEV, "b");
  ScopedEnv scoped(faults);
  EXPECT_EQ(CurrentEnv().RenameNoReplace(dir / "b", dir / "c"), -EXDEV);
  EXPECT_EQ(LastSystemError(), EXDEV);
  struct stat st;
  EXPECT_EQ(::stat((dir / "b").c_str(), &st), 0);
}

}  // namespace
}  // namespace vexa::platform
