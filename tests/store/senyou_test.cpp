#include "vexafol/senyou.h"

#include <gtest/gtest.h>

#include "tests/support/test_environ.h"

namespace vexa {
namespace {

using test::TestEnviron;

TestEnviron HostWithFolders() {
  TestEnviron env;
  env.paths = {{0x3030100, "/d/APPK"},     {0x3030200, "/d/YOUCHI"},  {0x3030400, "/d/ROSEN"},
               {0x3030700, "/d/KEISAN"},   {0x3030300, "/d/KIJUN"},   {0x3030500, "/d/JDN"},
               {0x3030600, "/d/TATEMONO"}, {0x3030A00, "/d/CHISEKI"}, {0x3030B00, "/d/DOBOKU"}};
  return env;
}

TEST(SenyouTable, RowOrderAndModuleLookup) {
  const int ids[] = {0x1, 0x4, 0x8, 0x80, 0x2, 0x10, 0x20, 0x40, 0x100, 0x1000, 0x2000, -1};
  ASSERT_EQ(GetSenyouCnt(), 12);
  for (int row = 0; row < 12; ++row) EXPECT_EQ(GetSenyouId(row), ids[row]) << row;
  EXPECT_EQ(GetSenyouId(12), 0);
  EXPECT_EQ(GetSenyouDLL(0x400), "");
  EXPECT_EQ(GetSenyouDLLId("appf.dll"), 0x10);  // any case
  EXPECT_EQ(GetSenyouDLLId("APPZ.DLL"), 1);     // unknown modules belong to the first row
  EXPECT_EQ(GetSenyouColor(0x4), 0xE0FFE0u);
  EXPECT_EQ(GetSenyouColor(0x400), 0xFFFFFFu);
}

TEST(SenyouTitle, HostKindChoosesTheTitle) {
  TestEnviron general, civil;
  general.appType = 1;
  civil.appType = 2;
  EXPECT_EQ(GetSenyouTitle(general, 0x1000, 1), "ＣＡＤ製図変換");
  EXPECT_EQ(GetSenyouTitle(civil, 0x1000, 0), "土木");
  EXPECT_EQ(GetSenyouTitle(general, 0x4, 0), "用地");
  EXPECT_EQ(GetSenyouTitle(civil, 0x4, 1), "土木測量");
  EXPECT_EQ(GetSenyouTitle(general, -1, 0), "全て");
  EXPECT_EQ(GetSenyouTitle(general, 0x400, 1), "");
}

TEST(SenyouPath, FoldersFromHostPathKinds) {
  TestEnviron env = HostWithFolders();
  EXPECT_EQ(GetSenyouPath(env, 0x1), "/d/APPK");
  EXPECT_EQ(GetSenyouPath(env, 0x20), "/d/JDN/ODN");
  EXPECT_EQ(GetSenyouPath(env, 0x2000), "/d/DOBOKU/TNK");
  EXPECT_EQ(GetSenyouPath(env, -1), "");
  env.paths.erase(0x3030500);  // no base folder: no sub folder appended to nothing
  EXPECT_EQ(GetSenyouPath(env, 0x10), "");
}

TEST(SenyouAllowCreate, CreateMaskByHostKind) {
  TestEnviron env;
  const struct {
    int id;
    unsigned long kind;
    int allowed;
  } cases[] = {
      {0x1000, 2, 1}, {0x1000, 1, 0}, {0x1, 0, 1}, {0x1, 2, 0},  {0x1, 5, 1},   {0x1, 6, 0},
      {0x40, 4, 0},   {0x40, 3, 1},   {0x2, 0, 0}, {0x80, 3, 0}, {0x400, 0, 0}, {-1, 0, 0},
  };
  for (const auto& c : cases) {
    env.appType = c.kind;
    EXPECT_EQ(GetSenyouAllowCreate(env, c.id), c.allowed) << c.id << " kind " << c.kind;
  }
}

TEST(PathToSenyouId, DrawingAndRecyclePaths) {
  const TestEnviron env = HostWithFolders();
  const std::pair<const char*, int> cases[] = {
      {"/d/JDN/ODN/Fol.004", 0x20},
      {"/d/JDN/JDN/Fol.002/BKUP/INDEX.VXF", 0x10},
      {"/d/DOBOKU/TNK/Fol.001", 0x2000},
      {"/d/DOBOKU/Fol.001", 0x1000},
      // Names compare without regard to ASCII case; the folder's path may differ.
      {"/other/chiseki/fol.010", 0x100},
      // Undecided: 4.
      {"", 4},
      {"/d/APPK/Drawing.001", 4},
      {"/d/NOWHERE/Fol.001", 4},
      {"/Fol.001", 4},
      // Recycle entries: the third bracket of the whole argument names the application.
      {"/r/RECYCCAD/[1][2024][ODN][x]/Fol.001", 0x20},
      {"/r/[a]/[b]/[TNK]/Fol.001/INDEX.VXF", 0x2000},
      {"/r/RECYCCAD/[1][ODN]/Fol.001", 4},
      {"/r/RECYCCAD/[1][2][zzz]/Fol.001", 4},
      {"/r/RECYCCAD/[1][2]]ODN[/Fol.001", 4},
      {"/r/[1][2][ODN]/x", 4},
  };
  for (const auto& [path, id] : cases) EXPECT_EQ(GetPathToSenyouId(env, path), id) << path;
}

}  // namespace
}  // namespace vexa
