// vexafol pages run as a process: the page dialog of a drawing rendered
// offscreen to a PNG, and the answers to a drawing that is not there.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

TEST(CmdPages, RendersThePageDialogOfADrawing) {
  TempDir dir;
  const std::string store = dir / "store";
  const ToolRun made = RunTool({"new", "--store", store, "--pages", "5"});
  ASSERT_EQ(made.exit, 0);
  const std::string drawing = made.out.substr(0, made.out.find('\n'));

  const std::string picture = dir / "pages.png";
  const ToolRun shot = RunTool({"pages", "--store", store, drawing, "--screenshot", picture});
  EXPECT_EQ(shot.exit, 0) << shot.out;
  std::ifstream file(picture, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_GT(bytes.size(), 4000u);

  EXPECT_EQ(RunTool({"pages", "--store", store, drawing + "9", "--screenshot", picture}).exit, 1);
  EXPECT_EQ(RunTool({"pages", "--store", store}).exit, 2);
  EXPECT_EQ(RunTool({"pages", "--store", store, drawing, "--kind", "two"}).exit, 2);
}

}  // namespace
}  // namespace vexa::test
