#include "platform/fault_env.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vexa::platform {
namespace {

TEST(FaultEnv, FailsOnlyTheChosenCallsOfTheChosenPath) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "a.txt", "x");
  test::WriteFileBytes(dir / "b.txt", "x");
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EIO, "a.txt", /*skip=*/1, /*times=*/1);
  Env& env = CurrentEnv();
  const int first = env.Open(dir / "a.txt", O_RDONLY, 0);
  ASSERT_GE(first, 0);  // skipped
  EXPECT_EQ(env.Open(dir / "a.txt", O_RDONLY, 0), -EIO);
  const int third = env.Open(dir / "a.txt", O_RDONLY, 0);
  EXPECT_GE(third, 0);  // the rule was used up
  const int other = env.Open(dir / "b.txt", O_RDONLY, 0);
  EXPECT_GE(other, 0);
  EXPECT_EQ(faults.Calls(Op::Open), 4);
  // Calls on a descriptor match by the descriptor's path.
  faults.Fail(Op::Read, EIO, "b.txt");
  char c;
  EXPECT_EQ(env.Read(first, &c, 1), 1);
  EXPECT_EQ(env.Read(other, &c, 1), -EIO);
  for (int fd : {first, third, other}) env.Close(fd);
}

TEST(FaultEnv, ScopedEnvRestoresTheSystem) {
  FaultEnv faults;
  faults.Fail(Op::Stat, ENOENT);
  struct stat st;
  {
    ScopedEnv scoped(faults);
    EXPECT_EQ(CurrentEnv().Stat("/", st), -ENOENT);
  }
  EXPECT_EQ(CurrentEnv().Stat("/", st), 0);
}

}  // namespace
}  // namespace vexa::platform
