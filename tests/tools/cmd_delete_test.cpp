// vexafol delete on a store mounted read-only: every lock file is unusable
// there, and the command names the read-only file system, not a lock.
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

TEST(ToolDelete, AReadOnlyMountIsNamedAsTheCause) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to mount the store read-only";
  TempDir dir;
  const std::string store = dir / "store";
  ASSERT_EQ(RunTool({"demo", store}).exit, 0);
  const std::string drawing = GetSenyouPath(FolderEnvironObj(store), 1) + "/Fol.002";
  ASSERT_EQ(::access((drawing + "/INDEX.VXF").c_str(), F_OK), 0);
  // In a mount namespace of its own, the tool sees the store read-only.
  const ToolSetup readOnly{.becomeUser = [&store] {
    return unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(store.c_str(), store.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           mount(nullptr, store.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  }};
  const ToolRun run = RunTool({"delete", "--store", store, drawing, "--yes"}, readOnly);
  if (run.exit == 126) GTEST_SKIP() << "no mount namespace here";
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("の削除に失敗しました。"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("(30)"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("ロックされています"), std::string::npos) << run.err;
  EXPECT_EQ(::access((drawing + "/INDEX.VXF").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace vexa::test
