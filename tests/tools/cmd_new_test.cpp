// vexafol new on a disk that fills up while it writes: it fails, says so,
// and leaves no half-made drawing folder behind; and next to a number whose
// drawing lock another process holds.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "tools/support/local_system.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

TEST(ToolNew, AFullDiskLeavesNoHalfMadeDrawing) {
  TempDir dir;
  const std::string store = dir / "store";
  ASSERT_EQ(RunTool({"new", "--store", store}).exit, 0);
  // Files may grow to 100 bytes: the first page file already fails (EFBIG),
  // as it would on a full disk.
  const ToolSetup fullDisk{.becomeUser = [] {
    const struct rlimit limit = {100, 100};
    return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }};
  const ToolRun run = RunTool({"new", "--store", store, "--pages", "2"}, fullDisk);
  EXPECT_NE(run.exit, 0);
  EXPECT_FALSE(run.err.empty());
  const FolderEnvironObj env(store);
  std::vector<std::string> names;
  ASSERT_EQ(ListFolder(GetSenyouPath(env, 1), names), 0);
  for (const std::string& name : names) EXPECT_EQ(name.find("Fol.002"), std::string::npos) << name;
}

TEST(ToolNew, PassesOverANumberBeingMadeByAnotherProcess) {
  TempDir dir;
  const std::string store = dir / "store";
  ASSERT_EQ(RunTool({"new", "--store", store}).exit, 0);
  const FolderEnvironObj env(store);
  const std::string app = GetSenyouPath(env, 1);
  const std::string held = app + "/Fol.002";
  HoldingChild holder([&] { return (new VexaFolderLock(&env))->LockZmn(held.c_str()) != 0; });
  ASSERT_TRUE(holder.holding());
  const ToolRun run = RunTool({"new", "--store", store});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out, app + "/Fol.003\n");
}

}  // namespace
}  // namespace vexa::test
