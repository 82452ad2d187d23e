#include "platform/collate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::platform {
namespace {

TEST(Collate, KeysOrderTextsAsTheCollatorDoes) {
  std::vector<std::string> texts = {"",     "a",  "A",      "aB",     "b",    "-b",
                                    "10",   "9",  "あいう", "アイウ", "ｱｲｳ",  "がぎぐ",
                                    "漢字", "Ａ", "図面1",  "図面１", "\xff", "a\xe3\x81"};
  texts.push_back(std::string(300, 'x') + "a");  // keys beyond a short buffer
  texts.push_back(std::string(300, 'x') + "b");
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      const int byKey = CollationKey(a).compare(CollationKey(b));
      EXPECT_EQ((byKey > 0) - (byKey < 0), CollateCompare(a, b)) << a << " vs " << b;
    }
  }
}

TEST(Collate, FollowsJapaneseLinguisticOrderNotBytes) {
  // In bytes katakana ア (E3 82 A2) and half-width ｱ (EF BD B1) come after
  // hiragana か (E3 81 8B); linguistically a-syllables come first in any script.
  EXPECT_LT(CollateCompare("アイウ", "かきく"), 0);
  EXPECT_LT(CollateCompare("ｱｲｳ", "かきく"), 0);
  EXPECT_LT(CollateCompare("a", "B"), 0);
  EXPECT_NE(CollateCompare("a", "A"), 0);  // case still tells texts apart
  EXPECT_LT(CollateCompare("図面", "図面1"), 0);
}

TEST(Collate, NoCaseFoldsAsciiOnly) {
  EXPECT_EQ(CollateNoCase("fol.001", "FOL.001"), 0);
  EXPECT_LT(CollateNoCase("FOL", "fol.001"), 0);
  EXPECT_GT(CollateNoCase("\xe3\x81\x82", "z"), 0);  // bytes compare unsigned
  EXPECT_NE(CollateNoCase("Ａ", "ａ"), 0);           // full-width letters are not folded
  EXPECT_GT(CollateNoCase("Z", "["), 0);             // '[' lies between 'Z' and 'a': folded first
}

}  // namespace
}  // namespace vexa::platform
