#include "vexafol/findcriteria.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/store/test_env.h"
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

  test::StoreTestEnv env;
  FindCriteria criteria;
};

TEST_F(MatchesTest, NoConditionMatchesEveryDrawingButNoNullMember) {
  FolMember member = Drawing(7);
  ASSERT_TRUE(member.header.SetTitle("図面"));
  EXPECT_TRUE(Match(member));
  EXPECT_TRUE(Match(FolMember()));
  EXPECT_FALSE(Matches(criteria, env, nullptr));
}

TEST_F(MatchesTest, NumberRange) {
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
  EXPECT_EQ(matching(3, 3), (std::vector<int>{3}));
  // A backup folder counts as the drawing that holds it.
  criteria.noFrom = criteria.noTo = 5;
  FolMember backup = Drawing(5);
  backup.path += "/BKUP";
  EXPECT_TRUE(Match(backup));
}

TEST_F(MatchesTest, NameIsACaseSensitiveSubstringOfWholeCharacters) {
  FolMember member = Drawing(1);
  ASSERT_TRUE(member.header.SetTitle("ABC測量図面"));
  criteria.useName = 1;
  for (const char* part : {"", "ABC", "測量", "C測", "図面"}) {
    criteria.name = part;
    EXPECT_TRUE(Match(member)) << part;
  }
  for (const char* part : {"abc", "測量図面X", "面図"}) {
    criteria.name = part;
    EXPECT_FALSE(Match(member)) << part;
  }
}

TEST_F(MatchesTest, NameNeverMatchesTheSecondByteOfADoubleByteCharacter) {
  // CP932 ア is 83 41 and ソ is 83 5C: their second bytes are 'A' and '\'.
  FolMember member = Drawing(1);
  std::memcpy(member.header.title, "\x83\x41\x83\x5c", 5);
  criteria.useName = 1;
  criteria.name = "A";
  EXPECT_FALSE(Match(member));
  criteria.name = "\\";
  EXPECT_FALSE(Match(member));
  criteria.name = "アソ";
  EXPECT_TRUE(Match(member));
}

TEST_F(MatchesTest, CreatorAndUpdaterMatchExactly) {
  FolMember member = Drawing(1);
  ASSERT_TRUE(member.header.SetCreator("Yamada 山田"));
  ASSERT_TRUE(member.header.SetUpdater("鈴木"));
  criteria.useCreator = 1;
  criteria.creator = "Yamada 山田";
  EXPECT_TRUE(Match(member));
  for (const char* other : {"yamada 山田", "Yamada", "Yamada 山田 ", ""}) {
    criteria.creator = other;
    EXPECT_FALSE(Match(member)) << other;
  }
  criteria.useCreator = 0;
  criteria.useUpdater = 1;
  criteria.updater = "鈴木";
  EXPECT_TRUE(Match(member));
  criteria.updater = "鈴";
  EXPECT_FALSE(Match(member));
}

TEST_F(MatchesTest, CreationDateBoundsAreWholeLocalDays) {
  auto createdAt = [&](int64_t seconds) {
    FolMember member = Drawing(1);
    member.header.createTime = UnixToFileTime(seconds);
    return member;
  };
  criteria.useCreated = 1;
  // Bounds given at some hour of the day still stand for the whole day.
  criteria.createdFrom = kJan10Jst + 15 * 3600;
  criteria.createdTo = kJan10Jst + 9 * 3600;
  EXPECT_TRUE(Match(createdAt(kJan10Jst)));              // 00:00 that day
  EXPECT_TRUE(Match(createdAt(kJan10Jst + kDay - 60)));  // 23:59
  EXPECT_TRUE(Match(createdAt(kJan10Jst + kDay - 1)));   // 23:59:59
  EXPECT_FALSE(Match(createdAt(kJan10Jst + kDay)));      // 00:00 the next day
  EXPECT_FALSE(Match(createdAt(kJan10Jst - 1)));         // 23:59:59 the day before
  // The update date is tested on the update time, not the creation time.
  FolMember member = createdAt(kJan10Jst);
  member.header.updateTime = UnixToFileTime(kJan10Jst + 3 * kDay);
  criteria.useUpdated = 1;
  criteria.updatedFrom = criteria.updatedTo = kJan10Jst;
  EXPECT_FALSE(Match(member));
  criteria.updatedFrom = criteria.updatedTo = kJan10Jst + 3 * kDay;
  EXPECT_TRUE(Match(member));
}

TEST_F(MatchesTest, UpperBoundBeyondYear9999FallsBackToTheLastDay) {
  FolMember member = Drawing(1);
  criteria.useCreated = 1;
  criteria.createdFrom = kJan10Jst;
  criteria.createdTo = 300000000000;  // about year 11476
  member.header.createTime = UnixToFileTime(kJan10Jst + 3000 * kDay);
  EXPECT_TRUE(Match(member));
  member.header.createTime = UnixToFileTime(kJan10Jst - kDay);
  EXPECT_FALSE(Match(member));
}

TEST_F(MatchesTest, MemoLinesMustAllOccur) {
  FolMember both = Drawing(1);
  ASSERT_TRUE(both.header.SetMemo("境界 B 杭\r\n測点 A"));
  FolMember onlyA = Drawing(2);
  ASSERT_TRUE(onlyA.header.SetMemo("測点 A"));
  criteria.useMemo = 1;
  criteria.memo = "\r\nA\r\n\r\nB\r\n";
  EXPECT_TRUE(Match(both));
  EXPECT_FALSE(Match(onlyA));
  // Case-sensitive; a list without a trailing break still ends with its last line.
  criteria.memo = "b";
  EXPECT_FALSE(Match(both));
  criteria.memo = "杭\r\n測";
  EXPECT_TRUE(Match(both));
  EXPECT_FALSE(Match(onlyA));
  // Only empty lines: nothing to look for.
  criteria.memo = "\r\n\r\n";
  EXPECT_TRUE(Match(onlyA));
}

TEST_F(MatchesTest, EveryConditionMustHold) {
  FolMember member = Drawing(4);
  ASSERT_TRUE(member.header.SetTitle("平面図"));
  ASSERT_TRUE(member.header.SetCreator("山田"));
  criteria.useNo = criteria.useName = criteria.useCreator = 1;
  criteria.noFrom = 1;
  criteria.noTo = 9;
  criteria.name = "平面";
  criteria.creator = "山田";
  EXPECT_TRUE(Match(member));
  criteria.creator = "田中";
  EXPECT_FALSE(Match(member));
}

}  // namespace
}  // namespace vexa
