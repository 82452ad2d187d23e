#include "vexafol/text.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

std::string Encode(std::string_view utf8, bool expectOk = true) {
  std::string out;
  EXPECT_EQ(Utf8ToCp932(utf8, out), expectOk) << utf8;
  return out;
}

TEST(Cp932, DecodesLikeWindows) {
  struct Case {
    std::string cp932;
    std::string utf8;
  };
  const Case cases[] = {
      {"abc\\~", "abc\\~"},                   // 5C and 7E stay ASCII
      {"\x1A\x1C\x7F", "\x1A\x1C\x7F"},       // control bytes map to themselves
      {"\xB1\xDF\xA1", "ｱﾟ｡"},                // half-width katakana
      {"\x88\x9F\x82\xA0", "亜あ"},           // JIS X 0208
      {"\x87\x40\x87\x54\x87\x82", "①Ⅰ№"},    // NEC special row 13
      {"\xED\x40\xFA\x40\xFA\x55", "纊ⅰ￤"},  // NEC-selected and IBM extensions
      {"\x81\x60\x81\x7C\x81\x5C", "～－―"},  // wave dash, minus, bar as Windows reads them
      {"\xF0\x40", "\xEE\x80\x80"},           // user-defined area -> U+E000
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8);
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
  // Lone invalid bytes: one U+FFFD each.
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), "�����");
  // A lead byte whose next byte cannot be a trail byte: U+FFFD for the lead
  // only, and the next byte is read on its own (paths keep their separators).
  EXPECT_EQ(Cp932ToUtf8("\x81/a"), "�/a");
  // A lead byte at the end of the text.
  EXPECT_EQ(Cp932ToUtf8("ab\x88"), "ab�");
  // A well-formed pair without a character: one U+FFFD for the pair.
  EXPECT_EQ(Cp932ToUtf8("\x85\x40z"), "�z");
}

TEST(Cp932, EncodesWithWindowsBestFit) {
  EXPECT_EQ(Encode("〜"), "\x81\x60");  // U+301C
  EXPECT_EQ(Encode("−"), "\x81\x7C");   // U+2212
  EXPECT_EQ(Encode("—"), "\x81\x5C");   // U+2014
  // Characters with two codes are written as Windows writes them: NEC row 13
  // and IBM extension codes rather than NEC-selected ones.
  EXPECT_EQ(Encode("①ⅰ纊∵"), "\x87\x40\xFA\x40\xFA\x5C\x81\xE6");
  EXPECT_EQ(Encode("ｱ図面\x1A\x1C\x7F"), "\xB1\x90\x7D\x96\xCA\x1A\x1C\x7F");
}

TEST(Cp932, ReportsCharactersWithoutCp932Form) {
  EXPECT_EQ(Encode("a😀b", false), "a?b");
  EXPECT_EQ(Encode("x\xFF", false), "x?");    // not UTF-8
  EXPECT_EQ(Encode("\xE3\x81", false), "?");  // truncated sequence
  // The converter is reused: a failure does not leak into the next call.
  EXPECT_EQ(Encode("図"), "\x90\x7D");
}

TEST(Cp932, RoundTripsEveryDoubleByteCharacterThatWindowsWritesBack) {
  int roundTrips = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = Cp932ToUtf8(bytes);
      if (utf8 == "�") continue;
      std::string back;
      ASSERT_TRUE(Utf8ToCp932(utf8, back)) << std::hex << lead << trail;
      // NEC row 13 duplicates and NEC-selected IBM extensions are written as
      // the one code Windows prefers; re-reading gives the same character.
      if (back != bytes) {
        EXPECT_EQ(Cp932ToUtf8(back), utf8) << std::hex << lead << trail;
      }
      roundTrips += back == bytes;
    }
  }
  EXPECT_GT(roundTrips, 9000);
}

}  // namespace
}  // namespace vexa
