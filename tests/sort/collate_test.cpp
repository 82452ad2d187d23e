#include "platform/collate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::platform {
namespace {

int Sign(int v) {
  return (v > 0) - (v < 0);
}

TEST(Collate, KeysOrderTextsAsTheCollatorDoes) {
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "A",
                                          "ab",
                                          "aB",
                                          "b",
                                          "-b",
                                          "10",
                                          "9",
                                          "あいう",
                                          "アイウ",
                                          "ｱｲｳ",
                                          "かきく",
                                          "がぎぐ",
                                          "漢字",
                                          "図面",
                                          "Ａ",
                                          "ａ",
                                          "図面1",
                                          "図面2",
                                          "図面１",
                                          "\xff\xfe",
                                          "a\xe3\x81",
                                          std::string(300, 'x') + "a",
                                          std::string(300, 'x') + "b"};
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      const int byKey = Sign(CollationKey(a).compare(CollationKey(b)));
      EXPECT_EQ(byKey, CollateCompare(a, b)) << a << " vs " << b;
    }
  }
}

TEST(Collate, FollowsJapaneseLinguisticOrderNotBytes) {
  // In bytes katakana ア (E3 82 A2) and half-width ｱ (EF BD B1) come after
  // hiragana か (E3 81 8B); linguistically a-syllables come first in any script.
  EXPECT_LT(CollateCompare("アイウ", "かきく"), 0);
  EXPECT_LT(CollateCompare("ｱｲｳ", "かきく"), 0);
  EXPECT_LT(CollateCompare("a", "B"), 0);
  EXPECT_LT(CollateCompare("B", "c"), 0);
  // Case still tells texts apart: no two different spellings compare equal here.
  EXPECT_NE(CollateCompare("a", "A"), 0);
  EXPECT_EQ(CollateCompare("図面", "図面"), 0);
  EXPECT_LT(CollateCompare("図面", "図面1"), 0);
}

TEST(Collate, NoCaseFoldsAsciiOnly) {
  EXPECT_EQ(CollateNoCase("Fol", "FOL"), 0);
  EXPECT_EQ(CollateNoCase("fol.001", "FOL.001"), 0);
  EXPECT_LT(CollateNoCase("FOL", "fol.001"), 0);
  EXPECT_GT(CollateNoCase("fol.002", "FOL.001"), 0);
  // Bytes compare unsigned: non-ASCII sorts after ASCII.
  EXPECT_GT(CollateNoCase("\xe3\x81\x82", "z"), 0);
  // Full-width letters are not ASCII and are not folded.
  EXPECT_NE(CollateNoCase("Ａ", "ａ"), 0);
  // '[' (0x5B) lies between 'Z' and 'a': letters are folded before comparing.
  EXPECT_GT(CollateNoCase("Z", "["), 0);
  EXPECT_EQ(CollateNoCase("", ""), 0);
}

}  // namespace
}  // namespace vexa::platform
