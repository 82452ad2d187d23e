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
