// Runs the vexafol tool to its end, optionally as another user, and collects
// its exit status and standard output.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vexa::test {

struct ToolRun {
  int exit = -1;
  std::string out;
};

// becomeUser runs in the child before the tool starts (false: the child
// leaves with 126 without running it).
ToolRun RunTool(const std::vector<std::string>& words,
                const std::function<bool()>& becomeUser = {});

// Replaces the calling (child) process with the tool run with words; returns
// 127 only when the tool cannot be started.
int ExecTool(const std::vector<std::string>& words);

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
