// Runs the vexafol tool as a separate process: to its end (RunTool) or while
// the test talks to it (Tool), optionally as another user, with its own
// environment, working folder and limits.
#pragma once

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace vexa::test {

struct ToolSetup {
  // Runs in the child before anything else (false: the child leaves with 126).
  std::function<bool()> becomeUser{};
  // Variables to set; an empty value unsets one.
  std::vector<std::pair<std::string, std::string>> environment{};
  std::string folder{};  // working folder; "" keeps the test's
  // At most 5 s (then SIGALRM) and 512 MiB of address space; 60 s and no
  // memory bound in a sanitizer build.
  bool limited = false;
};

struct ToolRun {
  int exit = -1;  // exit status, or 128 + the signal that ended it
  std::string out, err;
};

// A running vexafol process with its standard input, output and error on pipes.
class Tool {
 public:
  explicit Tool(const std::vector<std::string>& words, const ToolSetup& setup = {});
  ~Tool();

  pid_t pid() const { return child_.pid(); }
  // Reads standard output up to the end of the first line containing text.
  std::string ReadUntil(const std::string& text);
  // Ends standard input: a holding `vexafol lock` releases.
  void CloseInput();
  // Reads the rest of standard output and error and waits for the exit.
  ToolRun Finish();

 private:
  static std::array<int, 2> Pipe();
  std::array<int, 2> input_ = Pipe(), output_ = Pipe();
  int errors_ = memfd_create("stderr", MFD_CLOEXEC);  // a file: never full, read at the end
  ChildProcess child_;
};

// Runs the tool to its end with its standard input at its end.
ToolRun RunTool(const std::vector<std::string>& words, const ToolSetup& setup = {});

// A sample store inside a store folder shared with a group (mode 2770), as
// docs/shared-stores.md sets one up.
class SharedStoreTest : public testing::Test {
 protected:
  SharedStoreTest() {
    ::mkdir(shared_.c_str(), 0700);
    ::chmod(shared_.c_str(), 02770);
  }
  void SetUp() override { ASSERT_EQ(RunTool({"demo", store_}).exit, 0); }

  TempDir dir_;
  std::string shared_ = dir_ / "shared";
  std::string store_ = shared_ + "/store";
};

}  // namespace vexa::test
