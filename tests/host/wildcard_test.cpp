#include "host/wildcard.h"

#include <gtest/gtest.h>

namespace vexa::host {
namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(Wildcard, MatchesLikeWindowsIgnoringAsciiCase) {
  const MatchCase cases[] = {
      {"FOL.???", "Fol.007", true},
      {"FOL.???", "Fol.07", false},  // "?" is exactly one character, also at the end
      {"FOL.*", "Fol.", true},
      {"FOL.*", "Fol", true},  // a trailing ".*" admits a name without extension
      {"BKUP.*", "BKUP", true},
      {"BKUP.*", "BKUPX", false},
      {"*.*", "README", true},  // every name, as on Windows
      {"*.FMT", "a.b.fmt", true},
      {"*.FMT", "a.fmt.bak", false},
      {"a*b*c", "aXXbYYbZZc", true},
      {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},  // no blow-up
      {"?.VXF", "図.VXF", true},  // one character, however many bytes
      {"??.VXF", "図.VXF", false},
      {"", "a", false},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
  }
}

TEST(Wildcard, AnyNumberOfTrailingDotStarGroupsCostsNoStack) {
  std::string pattern = "BKUP";
  for (int i = 0; i < 200000; ++i) pattern += ".*";
  EXPECT_TRUE(WildcardMatch(pattern, "BKUP"));
  EXPECT_FALSE(WildcardMatch(pattern, "BKUPX"));
  EXPECT_FALSE(WildcardMatch(pattern, "BKUP.001"));  // needs one '.' per group
  EXPECT_TRUE(WildcardMatch("BKUP.*.*", "bkup.1.2"));
  EXPECT_TRUE(WildcardMatch("*.*.*", "README"));  // reaches "*.*" on the way
  EXPECT_FALSE(WildcardMatch("*.?.*", "README"));
}

TEST(Wildcard, FilterTextsListTheirPatterns) {
  using Patterns = std::vector<std::string>;
  EXPECT_EQ(FilterPatterns("CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.???"), Patterns{"FOL.???"});
  EXPECT_EQ(FilterPatterns("ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT"), (Patterns{"*.FMT", "*.@MT"}));
  EXPECT_EQ(FilterPatterns("x|*.a; *.b ;"), (Patterns{"*.a", "*.b"}));
  EXPECT_TRUE(FilterPatterns("everything|").empty());

  EXPECT_TRUE(FilterAdmits(FilterPatterns(""), "anything"));
  EXPECT_TRUE(FilterAdmits(FilterPatterns("CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|.*"), "Fol.001"));
  EXPECT_FALSE(FilterAdmits(FilterPatterns("a|.FMT|b|.@MT"), "list.txt"));
}

}  // namespace
}  // namespace vexa::host
