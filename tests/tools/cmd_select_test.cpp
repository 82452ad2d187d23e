// `vexafol select` with the search options of `vexafol list`: the dialog starts
// searched (its search dialog rendered offscreen), and malformed conditions are
// usage errors before any window is made; Qt's notes about the session stay
// out of its error output; a chosen backup or deleted drawing is named with
// the command that restores it.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/tool_run.h"
#include "tools/restore_hint.h"
#include "vexafol/folder_environ.h"
#include "vexafol/recycle.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

using SelectTool = SharedStoreTest;

TEST_F(SelectTool, SearchOptionsStartASearchAndMalformedOnesAreUsageErrors) {
  if (RunTool({"select", "--help"}).exit != 0) GTEST_SKIP() << "the tool has no UI library";
  const std::string picture = dir_ / "search.png";
  const ToolRun shot = RunTool({"select", store_, "--name", "計画図", "--creator", "田中ｹﾝｼﾞ",
                                "--created", "2023-06-01..", "--screenshot-search", picture});
  EXPECT_EQ(shot.exit, 0) << shot.out;
  // Qt's notes on a session without a runtime folder or window manager are
  // not the user's business.
  const ToolRun bare = RunTool({"select", store_, "--screenshot", dir_ / "bare.png"},
                               {.environment = {{"XDG_RUNTIME_DIR", ""}}});
  EXPECT_EQ(bare.exit, 0) << bare.err;
  EXPECT_EQ(bare.err, "") << bare.err;
  struct stat saved {};
  EXPECT_EQ(::stat(picture.c_str(), &saved), 0);
  EXPECT_GT(saved.st_size, 0);

  const std::vector<std::vector<std::string>> malformed = {
      {"--no", "x"},
      {"--no", "3-"},
      {"--created", "2024-13-01"},
      {"--updated", ".."},
      {"--updated", "2024/01/01"},
      {"--memo"},
      {"--screenshot", picture, "--screenshot-search", picture}};
  for (const std::vector<std::string>& options : malformed) {
    std::vector<std::string> words = {"select", store_, "--screenshot", dir_ / "unused.png"};
    if (options.front() == "--screenshot") words.resize(2);
    words.insert(words.end(), options.begin(), options.end());
    EXPECT_EQ(RunTool(words).exit, 2) << options.front() << " " << options.back();
  }
}

TEST_F(SelectTool, AChosenBackupOrDeletedDrawingIsNamedWithTheCommandThatRestoresIt) {
  const FolderEnvironObj env(store_);
  const std::string drawing = GetSenyouPath(env, 1) + "/Fol.002";
  EXPECT_EQ(tool::RestoreHint(env, store_, drawing), "");
  EXPECT_EQ(tool::RestoreHint(env, store_, drawing + "/BKUP.012"),
            drawing +
                "/BKUP.012 is a backup: nothing was restored. To restore it: "
                "vexafol restore " +
                store_ + " --backup " + drawing + " 12");
  EXPECT_EQ(tool::RestoreHint(env, store_, drawing + "/bkup"),
            drawing +
                "/bkup is a backup: nothing was restored. To restore it: "
                "vexafol restore " +
                store_ + " --backup " + drawing + " 0");
  EXPECT_EQ(tool::RestoreHint(env, store_, drawing + "/BKUP.x1"), "");  // no backup name
  // A store path a shell would split is quoted.
  EXPECT_EQ(tool::RestoreHint(env, "/st ore", "/st ore/Fol.001/BKUP"),
            "/st ore/Fol.001/BKUP is a backup: nothing was restored. To restore it: "
            "vexafol restore '/st ore' --backup '/st ore/Fol.001' 0");

  ASSERT_EQ(RunTool({"delete", "--store", store_, drawing, "--yes"}).exit, 0);
  const std::vector<RecycleSlot> slots = ListRecycleSlots(env);
  ASSERT_EQ(slots.size(), 1u);
  const std::string hint = tool::RestoreHint(env, store_, slots[0].drawing);
  EXPECT_EQ(hint, slots[0].drawing +
                      " is a deleted drawing in the recycle folder: nothing was restored. To "
                      "restore it: vexafol restore " +
                      store_ + " --slot 1");
}

}  // namespace
}  // namespace vexa::test
