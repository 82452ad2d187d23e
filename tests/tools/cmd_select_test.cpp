// `vexafol select` with the search options of `vexafol list`: the dialog starts
// searched (its search dialog rendered offscreen), and malformed conditions are
// usage errors before any window is made.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

using SelectTool = SharedStoreTest;

TEST_F(SelectTool, SearchOptionsStartASearchAndMalformedOnesAreUsageErrors) {
  if (RunTool({"select", "--help"}).exit != 0) GTEST_SKIP() << "the tool has no UI library";
  const std::string picture = dir_ / "search.png";
  const ToolRun shot = RunTool({"select", store_, "--name", "計画図", "--creator", "田中ｹﾝｼﾞ",
                                "--created", "2023-06-01..", "--screenshot-search", picture});
  EXPECT_EQ(shot.exit, 0) << shot.out;
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

}  // namespace
}  // namespace vexa::test
