// The Env seam's rename that never replaces, the last system error it keeps
// for steps that report only success or failure, and the programs it runs.
#include "platform/env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "tests/support/fault_env.h"
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

// A program the store check runs must never hang it: no terminal input to
// wait for, and a bounded time.
TEST(Env, RunProgramGivesTheOutputAndStatusAndNeverWaitsForever) {
  Env& env = CurrentEnv();
  std::string out;
  EXPECT_EQ(env.RunProgram({"sh", "-c", "echo one; echo two >&2; exit 3"}, 10000, out), 3);
  EXPECT_EQ(out, "one\n");
  EXPECT_EQ(env.RunProgram({"cat"}, 10000, out), 0);  // standard input is /dev/null
  EXPECT_EQ(out, "");
  EXPECT_EQ(env.RunProgram({"vexafol-no-such-program"}, 10000, out), -ENOENT);
  EXPECT_EQ(env.RunProgram({"sh", "-c", "kill -9 $$"}, 10000, out), -ECHILD);
  EXPECT_EQ(env.RunProgram({}, 10000, out), -EINVAL);
  // Killed at the deadline, whether it keeps its output open or closes it.
  EXPECT_EQ(env.RunProgram({"sleep", "600"}, 50, out), -ETIMEDOUT);
  EXPECT_EQ(env.RunProgram({"sh", "-c", "exec >&-; sleep 600"}, 50, out), -ETIMEDOUT);
  // Output beyond 1 MiB is dropped, the program still runs to its end.
  EXPECT_EQ(env.RunProgram({"head", "-c", "2000000", "/dev/zero"}, 10000, out), 0);
  EXPECT_EQ(out.size(), 1u << 20);
}

}  // namespace
}  // namespace vexa::platform
