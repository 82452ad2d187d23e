// The terminal progress line of long loads: silent for short loads, redrawn
// at a bounded rate, always showing the end, and cleared without a trace.
#include "tools/load_progress.h"

#include <gtest/gtest.h>

namespace vexa::tool {
namespace {

using std::chrono::milliseconds;

TEST(LoadProgressLine, ShortLoadsShowNothingLongOnesARateLimitedLineThatEndsCleared) {
  LoadProgressLine quiet("list");
  EXPECT_EQ(quiet.Next(milliseconds(0), 0, 50), "");
  EXPECT_EQ(quiet.Next(milliseconds(499), 50, 50), "");  // the whole load within half a second
  EXPECT_EQ(quiet.End(), "");

  LoadProgressLine line("print");
  EXPECT_EQ(line.Next(milliseconds(100), 10, 10989), "");
  EXPECT_EQ(line.Next(milliseconds(500), 900, 10989),
            "\rvexafol: print: reading drawings 900 / 10989");
  EXPECT_EQ(line.Next(milliseconds(599), 990, 10989), "");  // within the redraw interval
  const std::string next = line.Next(milliseconds(600), 1000, 10989);
  EXPECT_EQ(next, "\rvexafol: print: reading drawings 1000 / 10989");
  // The last folder is drawn however soon it comes.
  const std::string last = line.Next(milliseconds(601), 10989, 10989);
  EXPECT_EQ(last, "\rvexafol: print: reading drawings 10989 / 10989");
  EXPECT_EQ(line.End(), "\r" + std::string(last.size() - 1, ' ') + "\r");

  // A shorter line covers what a longer one left.
  LoadProgressLine shrinking("list");
  const std::string wide = shrinking.Next(milliseconds(500), 10000, 10000);
  const std::string narrow = shrinking.Next(milliseconds(700), 5, 9);
  EXPECT_EQ(narrow.size(), wide.size());
  EXPECT_EQ(narrow.substr(0, 35), "\rvexafol: list: reading drawings 5 ");
}

}  // namespace
}  // namespace vexa::tool
