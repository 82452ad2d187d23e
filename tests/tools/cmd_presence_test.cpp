// Who holds a drawing, as the lock commands show it: `status`, `who` and
// `list` name a `vexafol lock` holder by its owner note (text and JSON), a
// noteless holder shows as such, and `wait` returns when the holder lets go.
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class PresenceToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunTool({"demo", store_}).exit, 0);
    const FolderEnvironObj env(store_);
    folder_ = GetSenyouPath(env, 1);
    drawing_ = folder_ + "/Fol.001";
  }
  std::vector<std::string> On(const std::string& command, std::vector<std::string> more = {}) {
    std::vector<std::string> words = {command, drawing_, "--store", store_};
    words.insert(words.end(), more.begin(), more.end());
    return words;
  }
  std::string Out(const std::vector<std::string>& words) {
    const ToolRun run = RunTool(words);
    EXPECT_EQ(run.exit, 0) << run.err;
    return run.out;
  }

  TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string folder_;
  std::string drawing_;
};

TEST_F(PresenceToolTest, StatusWhoAndListNameTheHolderUntilItLetsGo) {
  Tool holder(On("lock", {"--zmn", "--page", "3"}));
  ASSERT_THAT(holder.ReadUntil("holding"), HasSubstr("granted"));
  const std::string pid = "pid " + std::to_string(holder.pid());
  const std::string jsonPid = "\"pid\": " + std::to_string(holder.pid());

  EXPECT_THAT(
      Out(On("status", {"--page", "3", "--page", "4"})),
      AllOf(HasSubstr("Held by          "), HasSubstr(pid + ", vexafol]"),
            HasSubstr("IsLockPage 3     1  in use: "), HasSubstr("IsLockPage 4     0  free\n")));
  EXPECT_THAT(Out(On("status", {"--page", "3", "--json"})),
              AllOf(HasSubstr("\"holder\": {\"named\": true"), HasSubstr(jsonPid),
                    HasSubstr("\"pageHolders\": [\n  {\"page\": 3, \"holder\": {\"named\": true")));
  EXPECT_THAT(Out(On("who")), AllOf(HasSubstr("  drawing lock   "), HasSubstr("  page 3         "),
                                    HasSubstr(pid)));
  EXPECT_THAT(Out(On("who", {"--json"})),
              AllOf(HasSubstr("{\"lock\": \"drawing\", \"page\": null, \"holder\": {"),
                    HasSubstr("{\"lock\": \"page\", \"page\": 3, \"holder\": {")));
  EXPECT_THAT(
      Out({"list", "--store", store_, "--app", "1", "--json"}),
      AllOf(HasSubstr("\"lockState\": 1, \"holder\": {\"named\": true"), HasSubstr(jsonPid)));
  EXPECT_THAT(Out({"list", "--store", store_, "--app", "1"}), HasSubstr("使用者"));

  holder.CloseInput();
  EXPECT_EQ(holder.Finish().exit, 0);
  EXPECT_THAT(Out({"list", "--store", store_, "--app", "1", "--json"}),
              AllOf(Not(HasSubstr("\"named\"")), HasSubstr("\"holder\": null")));
  EXPECT_THAT(Out(On("who")), Not(HasSubstr("drawing lock  ")));
}

TEST_F(PresenceToolTest, AHolderWithoutANoteIsShownUnnamed) {
  Out(On("status"));  // makes the application folder's lock file
  HoldingChild windows([&] {
    const int fd = open((folder_ + "/CADAPP.LOC").c_str(), O_RDWR | O_CREAT, 0666);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 1;
    lock.l_len = 1;
    return fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0;
  });
  ASSERT_TRUE(windows.holding());
  EXPECT_THAT(Out(On("status")), HasSubstr("Held by          名前のわからないクライアント\n"));
  EXPECT_THAT(Out(On("status", {"--json"})),
              HasSubstr("\"holder\": {\"named\": false, \"login\": null"));
}

TEST_F(PresenceToolTest, WaitReturnsWhenTheDrawingOrPageIsFree) {
  EXPECT_EQ(RunTool(On("wait")).exit, 0) << "a free drawing: at once";
  Tool holder(On("lock", {"--page", "7"}));
  ASSERT_THAT(holder.ReadUntil("holding"), HasSubstr("granted"));
  EXPECT_EQ(RunTool(On("wait", {"--timeout", "0"})).exit, 1);
  EXPECT_EQ(RunTool(On("wait", {"--page", "7", "--timeout", "0"})).exit, 1);
  EXPECT_EQ(RunTool(On("wait", {"--page", "8"})).exit, 0) << "another page is free";

  Tool waiting(On("wait", {"--page", "7"}));
  holder.CloseInput();
  EXPECT_EQ(holder.Finish().exit, 0);
  const ToolRun waited = waiting.Finish();
  EXPECT_EQ(waited.exit, 0);
  EXPECT_EQ(waited.out, "") << "not a terminal: nothing to say";

  for (const auto& bad :
       {std::vector<std::string>{"--timeout", "-1"}, std::vector<std::string>{"--page", "x"},
        std::vector<std::string>{"--page", "-2"}})
    EXPECT_EQ(RunTool(On("wait", bad)).exit, 2) << bad[0] << " " << bad[1];
}

}  // namespace
}  // namespace vexa::test
