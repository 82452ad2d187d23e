// One width rule for the grid, the tool's tables and the print layout: a
// half-width character takes one column, any other two, and no text, however
// broken, stops the walk early or runs past its end.
#include "vexafol/utf8.h"

#include <gtest/gtest.h>

#include "vexafol/print_layout.h"

namespace vexa {
namespace {

TEST(DisplayWidth, HalfWidthCharactersTakeOneColumn) {
  EXPECT_EQ(DisplayWidth(""), 0u);
  EXPECT_EQ(DisplayWidth("No"), 2u);
  EXPECT_EQ(DisplayWidth("図面No"), 6u);
  EXPECT_EQ(DisplayWidth("ﾍﾟｰｼﾞ"), 5u);  // half-width katakana U+FF61-FF9F
  EXPECT_EQ(DisplayWidth("\uFF61\uFF9F"), 2u);
  EXPECT_EQ(DisplayWidth("\uFF60\uFFA0"), 4u);  // just outside: full width
  EXPECT_EQ(DisplayWidth("\uFFE8\uFFEE"), 2u);  // the half-width forms
  EXPECT_EQ(DisplayWidth("\uFFE7\uFFEF"), 4u);
  EXPECT_EQ(DisplayWidth("\U0001F600"), 2u);  // four bytes, one character
}

TEST(DisplayWidth, BrokenTextCountsEachStrayByte) {
  EXPECT_EQ(DisplayWidth("\x80\xBF"), 4u);  // lone continuation bytes
  EXPECT_EQ(DisplayWidth("\xE5\x9B"), 4u);  // a cut three-byte sequence
  EXPECT_EQ(DisplayWidth(std::string("a\0b", 3)), 3u);
  const std::string cut = "\xF0\x9F\x98";
  size_t walked = 0;
  for (size_t at = 0; at < cut.size(); at += NextUtf8Char(cut, at).length) ++walked;
  EXPECT_EQ(walked, 3u);
}

TEST(CutUtf8, NeverSplitsACharacter) {
  EXPECT_EQ(CutUtf8("図面", 6), "図面");
  EXPECT_EQ(CutUtf8("図面", 5), "図");
  EXPECT_EQ(CutUtf8("図面", 3), "図");
  EXPECT_EQ(CutUtf8("図面", 2), "");
  EXPECT_EQ(CutUtf8("ab図", 4), "ab");
  EXPECT_EQ(CutUtf8("abc", 0), "");
}

// The print layout measures with the same rule: a 10.8 pt character is
// 10.8 / 72 inch wide, half of that when half-width.
TEST(DisplayWidth, PrintLayoutMeasuresTheSameColumns) {
  const double em = 10.8 * 25.4 / 72;
  for (const char* text : {"図面No", "ﾍﾟｰｼﾞ\uFFE8", "abc", "\x80\xE5\x9B", "縮尺 1/500"})
    EXPECT_NEAR(MeasurePrintText(text, 10.8), DisplayWidth(text) * em / 2, 1e-9) << text;
  EXPECT_EQ(CutPrintText("ab図面", 10.8, 3 * em / 2 + 1e-6), "ab");
  EXPECT_EQ(CutPrintText("ab図面", 10.8, 4 * em / 2), "ab図");
}

}  // namespace
}  // namespace vexa
