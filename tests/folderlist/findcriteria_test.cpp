#include "vexafol/findcriteria.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_environ.h"
#include "vexafol/filetime.h"

namespace vexa {
namespace {

// Seconds since 1970 of 2024-01-10 00:00:00 in Asia/Tokyo (UTC+9), the test time zone.
constexpr int64_t kJan10Jst = 1704812400;
constexpr int64_t kDay = 86400;

class MatchesTest : public testing::Test {
 protected:
  FolMember Drawing(int number) const {
    FolMember member;
    member.path = "/store/CAD/Fol." + std::to_string(1000 + number).substr(1);
    return member;
  }
  bool Match(const FolMember& member) const { return Matches(criteria, env, &member); }

  test::TestEnviron env;
  FindCriteria criteria;
};

TEST_F(MatchesTest, NumberRange) {
  EXPECT_TRUE(Match(FolMember()));  // no condition: everything but no member
  EXPECT_FALSE(Matches(criteria, env, nullptr));
  criteria.useNo = 1;
  auto matching = [&](int from, int to) {
    criteria.noFrom = from;
    criteria.noTo = to;
    std::vector<int> found;
    for (int n = 1; n <= 7; ++n) {
      if (Match(Drawing(n))) found.push_back(n);
    }
    return found;
  };
  EXPECT_EQ(matching(2, 4), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(matching(5, 3), (std::vector<int>{5}));  // reversed: only the first number
  // A backup folder counts as the drawing that holds it.
  FolMember backup = Drawing(5);
  backup.path += "/BKUP";
  EXPECT_TRUE(Match(backup));
}

TEST_F(MatchesTest, NameIsACaseSensitiveSubstringOfWholeCharactersCreatorAnExactText) {
  FolMember member = Drawing(1);
  ASSERT_TRUE(member.header.SetTitle("ABC測量図面"));
  criteria.useName = 1;
  for (const char* part : {"", "C測", "図面"}) {
    criteria.name = part;
    EXPECT_TRUE(Match(member)) << part;
  }
  for (const char* part : {"abc", "面図"}) {
    criteria.name = part;
    EXPECT_FALSE(Match(member)) << part;
  }
  // CP932 ア is 83 41 and ソ is 83 5C: their second bytes are 'A' and '\'.
  std::memcpy(member.header.title, "\x83\x41\x83\x5c", 5);
  for (const char* part : {"A", "\\"}) {
    criteria.name = part;
    EXPECT_FALSE(Match(member)) << part;
  }
  criteria.useName = 0;
  ASSERT_TRUE(member.header.SetCreator("Yamada 山田"));
  criteria.useCreator = 1;
  criteria.creator = "Yamada 山田";
  EXPECT_TRUE(Match(member));
  for (const char* other : {"yamada 山田", "Yamada", "Yamada 山田 "}) {
    criteria.creator = other;
    EXPECT_FALSE(Match(member)) << other;
  }
}

// Japanese input methods on Linux type 〜 (U+301C) and − (U+2212) where a
// Windows user types ～ and －; the store keeps both as the same CP932 bytes,
// so each finds drawings named with the other, in every text condition.
TEST_F(MatchesTest, TextTypedOnLinuxFindsWhatWindowsStored) {
  FolMember member = Drawing(1);
  ASSERT_TRUE(member.header.SetTitle("区間１～３"));
  ASSERT_TRUE(member.header.SetCreator("山田－太郎"));
  ASSERT_TRUE(member.header.SetMemo("測点Ｎｏ．１～５\r\n延長－１２ｍ"));
  ASSERT_EQ(std::string(member.header.title, 9), "\x8b\xe6\x8a\xd4\x82\x50\x81\x60\x82");
  criteria.useName = criteria.useCreator = criteria.useMemo = 1;
  criteria.name = "１〜３";
  criteria.creator = "山田−太郎";
  criteria.memo = "１〜５\r\n延長−";
  EXPECT_TRUE(Match(member));
  criteria.name = "１〜４";
  EXPECT_FALSE(Match(member));
  // A character CP932 cannot hold is not turned into the '?' it would be stored as.
  ASSERT_TRUE(member.header.SetTitle("A?B"));
  criteria.useCreator = criteria.useMemo = 0;
  criteria.name = "A😀B";
  EXPECT_FALSE(Match(member));
}

TEST_F(MatchesTest, DateBoundsAreWholeLocalDays) {
  auto createdAt = [&](int64_t seconds) {
    FolMember member = Drawing(1);
    member.header.createTime = UnixToFileTime(seconds);
    return member;
  };
  criteria.useCreated = 1;
  // Bounds given at some hour of the day still stand for the whole day.
  criteria.createdFrom = kJan10Jst + 15 * 3600;
  criteria.createdTo = kJan10Jst + 9 * 3600;
  EXPECT_TRUE(Match(createdAt(kJan10Jst)));
  EXPECT_FALSE(Match(createdAt(kJan10Jst + kDay)));
  EXPECT_FALSE(Match(createdAt(kJan10Jst - 1)));
  // An upper bound beyond year 9999 stands for the last day.
  criteria.createdTo = 300000000000;
  EXPECT_TRUE(Match(createdAt(kJan10Jst + 3000 * kDay)));
  // The update date is tested on the update time.
  FolMember member = createdAt(kJan10Jst);
  member.header.updateTime = UnixToFileTime(kJan10Jst + 3 * kDay);
  criteria.useUpdated = 1;
  criteria.updatedFrom = criteria.updatedTo = kJan10Jst;
  EXPECT_FALSE(Match(member));
}

TEST_F(MatchesTest, MemoLinesMustAllOccurAndEveryConditionMustHold) {
  FolMember both = Drawing(1);
  ASSERT_TRUE(both.header.SetMemo("境界 B 杭\r\n測点 A"));
  FolMember onlyA = Drawing(2);
  ASSERT_TRUE(onlyA.header.SetMemo("測点 A"));
  criteria.useMemo = 1;
  criteria.memo = "\r\nA\r\n\r\nB\r\n";
  EXPECT_TRUE(Match(both));
  EXPECT_FALSE(Match(onlyA));
  criteria.memo = "杭\r\n測";  // the last line needs no trailing break
  EXPECT_TRUE(Match(both));
  criteria.memo = "\r\n\r\n";  // only empty lines: nothing to look for
  EXPECT_TRUE(Match(onlyA));

  criteria.useNo = 1;
  criteria.noFrom = criteria.noTo = 2;
  EXPECT_TRUE(Match(onlyA));
  EXPECT_FALSE(Match(both));
}

}  // namespace
}  // namespace vexa
