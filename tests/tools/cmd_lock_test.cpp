// Two users of one store played by separate `vexafol` processes: a holder
// started with `vexafol lock` keeps its locks while its standard input (a pipe
// of this test) stays open; `status`, `who` and a second `lock` look on.
#include <sys/stat.h>

#include <array>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A running vexafol process with its standard input and output on pipes.
class Tool {
 public:
  explicit Tool(const std::vector<std::string>& words)
      : child_([&] {
          dup2(input_[0], STDIN_FILENO);
          dup2(output_[1], STDOUT_FILENO);
          std::vector<std::string> copies = words;
          copies.insert(copies.begin(), VEXAFOL_TOOL);
          std::vector<char*> argv;
          for (std::string& word : copies) argv.push_back(word.data());
          argv.push_back(nullptr);
          execv(VEXAFOL_TOOL, argv.data());
          return 127;
        }) {
    close(input_[0]);
    close(output_[1]);
  }
  ~Tool() {
    CloseInput();
    close(output_[0]);
  }

  pid_t pid() const { return child_.pid(); }
  // Reads output up to the first line containing text (or the end).
  std::string ReadUntil(const std::string& text) {
    std::string seen;
    char c;
    while (read(output_[0], &c, 1) == 1) {
      seen += c;
      if (c == '\n' && seen.find(text) != std::string::npos) break;
    }
    return seen;
  }
  std::string ReadAll() { return ReadUntil(std::string(1, '\0')); }
  void CloseInput() {
    if (input_[1] >= 0) close(input_[1]);
    input_[1] = -1;
  }
  int Wait() { return child_.Wait(); }

 private:
  static std::array<int, 2> Pipe() {
    std::array<int, 2> fds{-1, -1};
    [[maybe_unused]] int rc = pipe2(fds.data(), O_CLOEXEC);
    return fds;
  }
  std::array<int, 2> input_ = Pipe(), output_ = Pipe();
  ChildProcess child_;
};

struct Result {
  int exit = -1;
  std::string out;
};

// Runs a command to its end with standard input already closed.
Result RunTool(const std::vector<std::string>& words) {
  Tool tool(words);
  tool.CloseInput();
  Result result;
  result.out = tool.ReadAll();
  result.exit = tool.Wait();
  return result;
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

class LockToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunTool({"demo", store_}).exit, 0);
    const FolderEnvironObj env(store_);
    folder_ = GetSenyouPath(env, 1);
    drawing_ = folder_ + "/Fol.001";
    ASSERT_TRUE(Exists(drawing_));
  }

  std::vector<std::string> On(const std::string& command, std::vector<std::string> more = {}) {
    std::vector<std::string> words = {command, drawing_, "--store", store_};
    words.insert(words.end(), more.begin(), more.end());
    return words;
  }
  std::string Status(std::vector<std::string> more = {}) {
    const Result result = RunTool(On("status", more));
    EXPECT_EQ(result.exit, 0) << result.out;
    return result.out;
  }
  bool LockFilesGone() const {
    return !Exists(folder_ + "/CADAPP.LOC") && !Exists(folder_ + "/FOL001.LOC");
  }

  TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string folder_;
  std::string drawing_;
};

TEST_F(LockToolTest, DrawingLockHolderIsSeenByOthersAndReleasedWhenInputEnds) {
  Tool holder(On("lock"));
  ASSERT_THAT(holder.ReadUntil("holding"), HasSubstr("LockZmn        granted"));

  const std::string status = Status();
  EXPECT_THAT(status, HasSubstr("IsLockZmn        1"));
  EXPECT_THAT(status, HasSubstr("IsExistLockPage  0"));
  EXPECT_THAT(status, HasSubstr("IsLockPage 0     0"));

  const Result who = RunTool(On("who"));
  EXPECT_EQ(who.exit, 0);
  EXPECT_THAT(who.out, HasSubstr(std::to_string(holder.pid()) + " "));
  EXPECT_THAT(who.out, HasSubstr("CADAPP.LOC  byte 1 (drawing lock)"));
  EXPECT_THAT(who.out, HasSubstr("vexafol lock"));

  const Result second = RunTool(On("lock"));
  EXPECT_EQ(second.exit, 1);
  EXPECT_THAT(second.out, HasSubstr("LockZmn        refused"));
  EXPECT_THAT(second.out, Not(HasSubstr("holding")));  // nothing got: it ends at once

  // A page lock is granted although the drawing is locked as a whole.
  const Result page = RunTool(On("lock", {"--page", "2"}));
  EXPECT_EQ(page.exit, 0);
  EXPECT_THAT(page.out, HasSubstr("LockPage 2     granted"));

  holder.CloseInput();
  EXPECT_THAT(holder.ReadAll(), HasSubstr("released"));
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_TRUE(LockFilesGone());
  EXPECT_THAT(Status(), HasSubstr("IsLockZmn        0"));
  EXPECT_TRUE(LockFilesGone());  // the looker removes what it opened
  EXPECT_THAT(RunTool(On("who")).out, HasSubstr("No process on this computer has them open."));
}

TEST_F(LockToolTest, PageLocksBelow500BlockTheDrawingLockOfOthersAndAbove499DoNot) {
  Tool pages(On("lock", {"--page", "3", "--page", "4", "--page", "600"}));
  ASSERT_THAT(pages.ReadUntil("holding"), HasSubstr("LockPage 600   granted"));

  const std::string status = Status({"--page", "3", "--page", "5", "--page", "600"});
  EXPECT_THAT(status, HasSubstr("IsLockZmn        1"));
  EXPECT_THAT(status, HasSubstr("IsExistLockPage  1"));
  EXPECT_THAT(status, HasSubstr("IsLockPage 3     1"));
  EXPECT_THAT(status, HasSubstr("IsLockPage 5     0"));
  EXPECT_THAT(status, HasSubstr("IsLockPage 600   1"));

  // Adjacent pages held through one handle are one range to the kernel.
  const Result who = RunTool(On("who"));
  EXPECT_THAT(who.out, HasSubstr(std::to_string(pages.pid()) + " "));
  EXPECT_THAT(who.out, HasSubstr("FOL001.LOC  pages 3-4, 600"));

  const Result drawing = RunTool(On("lock"));
  EXPECT_EQ(drawing.exit, 1);
  EXPECT_THAT(drawing.out, HasSubstr("refused"));
  EXPECT_THAT(drawing.out, HasSubstr("one of its pages"));
  const Result samePage = RunTool(On("lock", {"--page", "600"}));
  EXPECT_EQ(samePage.exit, 1);

  pages.CloseInput();
  EXPECT_EQ(pages.Wait(), 0);

  // Page 600 alone is invisible to the page scan: the drawing lock is granted.
  Tool high(On("lock", {"--page", "600"}));
  ASSERT_THAT(high.ReadUntil("holding"), HasSubstr("granted"));
  EXPECT_THAT(Status(), HasSubstr("IsExistLockPage  0"));
  Tool whole(On("lock"));
  EXPECT_THAT(whole.ReadUntil("holding"), HasSubstr("LockZmn        granted"));
  // An interrupt releases the locks, and the last user removes the lock files.
  for (Tool* holder : {&high, &whole}) {
    kill(holder->pid(), SIGTERM);
    EXPECT_THAT(holder->ReadAll(), HasSubstr("released"));
    EXPECT_EQ(holder->Wait(), 0);
  }
  EXPECT_TRUE(LockFilesGone());
}

}  // namespace
}  // namespace vexa::test
