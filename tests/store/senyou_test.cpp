#include "vexafol/senyou.h"

#include <gtest/gtest.h>

#include "tests/store/test_env.h"
#include "vexafol/text.h"

namespace vexa {
namespace {

using test::StoreTestEnv;

constexpr int kIds[] = {0x1, 0x4, 0x8, 0x80, 0x2, 0x10, 0x20, 0x40, 0x100, 0x1000, 0x2000, -1};

StoreTestEnv HostWithFolders() {
  StoreTestEnv env;
  env.paths = {{0x3030100, "/d/APPK"},     {0x3030200, "/d/YOUCHI"},  {0x3030400, "/d/ROSEN"},
               {0x3030700, "/d/KEISAN"},   {0x3030300, "/d/KIJUN"},   {0x3030500, "/d/JDN"},
               {0x3030600, "/d/TATEMONO"}, {0x3030A00, "/d/CHISEKI"}, {0x3030B00, "/d/DOBOKU"}};
  return env;
}

TEST(SenyouTable, RowsIdsModulesAndColours) {
  ASSERT_EQ(GetSenyouCnt(), 12);
  for (int row = 0; row < 12; ++row) EXPECT_EQ(GetSenyouId(row), kIds[row]) << row;
  EXPECT_EQ(GetSenyouId(-1), 0);
  EXPECT_EQ(GetSenyouId(12), 0);

  EXPECT_EQ(GetSenyouDLL(0x1), "APPK.DLL");
  EXPECT_EQ(GetSenyouDLL(0x2000), "APPA.DLL");
  EXPECT_EQ(GetSenyouDLL(-1), "");
  EXPECT_EQ(GetSenyouDLL(0x400), "");

  EXPECT_EQ(GetSenyouDLLId("appf.dll"), 0x10);
  EXPECT_EQ(GetSenyouDLLId("APPB.DLL"), 0x1000);
  EXPECT_EQ(GetSenyouDLLId("APPZ.DLL"), 1);
  EXPECT_EQ(GetSenyouDLLId(""), 1);

  EXPECT_EQ(GetSenyouColor(0x1), 0xFFFFFFu);
  EXPECT_EQ(GetSenyouColor(0x4), 0xE0FFE0u);
  EXPECT_EQ(GetSenyouColor(0x8), 0xFFE0E0u);
  EXPECT_EQ(GetSenyouColor(0x100), 0xE0FFFFu);
  EXPECT_EQ(GetSenyouColor(0x80), 0xE0E0FFu);
  EXPECT_EQ(GetSenyouColor(0x400), 0xFFFFFFu);
}

TEST(SenyouTitle, ShortAndLongFormsByHostKind) {
  StoreTestEnv general;
  general.appType = 1;
  StoreTestEnv civil;
  civil.appType = 2;

  EXPECT_EQ(GetSenyouTitle(general, 0x1000, 0), "製図変換");
  EXPECT_EQ(GetSenyouTitle(general, 0x1000, 1), "ＣＡＤ製図変換");
  EXPECT_EQ(GetSenyouTitle(civil, 0x1000, 0), "土木");
  EXPECT_EQ(GetSenyouTitle(civil, 0x1000, 1), " 土    木 ");
  EXPECT_EQ(GetSenyouTitle(general, 0x4, 0), "用地");
  EXPECT_EQ(GetSenyouTitle(general, 0x4, 1), " 用    地 ");
  EXPECT_EQ(GetSenyouTitle(civil, 0x4, 0), "測量");
  EXPECT_EQ(GetSenyouTitle(civil, 0x4, 1), "土木測量");
  EXPECT_EQ(GetSenyouTitle(general, 0x2, 1), " 基 準 点 ");
  EXPECT_EQ(GetSenyouTitle(general, 0x2000, 0), "展開図");
  EXPECT_EQ(GetSenyouTitle(general, -1, 0), "全て");
  EXPECT_EQ(GetSenyouTitle(general, 0x400, 0), "");
  EXPECT_EQ(GetSenyouTitle(general, 0x400, 1), "");
}

TEST(SenyouTitle, LongTitlesAreTenBytesOfCp932) {
  StoreTestEnv civil;  // the host kind that shows every row's own long title
  civil.appType = 2;
  for (int id : kIds) {
    if (id == 0x4) continue;  // replaced on this host kind
    std::string cp932;
    ASSERT_TRUE(Utf8ToCp932(GetSenyouTitle(civil, id, 1), cp932)) << id;
    EXPECT_EQ(cp932.size(), 10u) << id;
    EXPECT_EQ(cp932.front(), ' ');
    EXPECT_EQ(cp932.back(), ' ');
  }
}

TEST(SenyouPath, FoldersFromHostPathKinds) {
  StoreTestEnv env = HostWithFolders();
  EXPECT_EQ(GetSenyouPath(env, 0x1), "/d/APPK");
  EXPECT_EQ(GetSenyouPath(env, 0x10), "/d/JDN/JDN");
  EXPECT_EQ(GetSenyouPath(env, 0x20), "/d/JDN/ODN");
  EXPECT_EQ(GetSenyouPath(env, 0x1000), "/d/DOBOKU");
  EXPECT_EQ(GetSenyouPath(env, 0x2000), "/d/DOBOKU/TNK");
  EXPECT_EQ(GetSenyouPath(env, -1), "");
  EXPECT_EQ(GetSenyouPath(env, 0x400), "");

  env.paths.erase(0x3030500);  // no base folder: no sub folder appended to nothing
  EXPECT_EQ(GetSenyouPath(env, 0x10), "");
}

TEST(SenyouAllowCreate, CreateMaskByHostKind) {
  StoreTestEnv env;
  struct Case {
    int id;
    unsigned long kind;
    int allowed;
  } cases[] = {
      {0x1000, 2, 1}, {0x1000, 0, 0}, {0x1000, 1, 0}, {0x1000, 5, 0},  //
      {0x1, 0, 1},    {0x1, 1, 1},    {0x1, 2, 0},    {0x1, 3, 1},     //
      {0x1, 4, 1},    {0x1, 5, 1},    {0x1, 6, 0},                     //
      {0x40, 4, 0},   {0x40, 3, 1},   {0x100, 0, 1},  {0x100, 4, 0},   //
      {0x400, 0, 0},  {-1, 0, 0},
  };
  for (const Case& c : cases) {
    env.appType = c.kind;
    EXPECT_EQ(GetSenyouAllowCreate(env, c.id), c.allowed) << c.id << " kind " << c.kind;
  }
  for (unsigned long kind = 0; kind < 8; ++kind) {
    env.appType = kind;
    EXPECT_EQ(GetSenyouAllowCreate(env, 0x2), 0);
    EXPECT_EQ(GetSenyouAllowCreate(env, 0x80), 0);
  }
}

TEST(PathToSenyouId, DrawingPathsMapThroughApplicationFolders) {
  StoreTestEnv env = HostWithFolders();
  EXPECT_EQ(GetPathToSenyouId(env, "/d/JDN/ODN/Fol.004"), 0x20);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/JDN/JDN/Fol.002"), 0x10);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/JDN/JDN/Fol.002/pagefile.000"), 0x10);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/JDN/JDN/Fol.002/BKUP/INDEX.VXF"), 0x10);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/DOBOKU/TNK/Fol.001"), 0x2000);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/DOBOKU/Fol.001"), 0x1000);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/APPK/Fol.999"), 0x1);
  // Names compare without regard to ASCII case; the folder's path may differ.
  EXPECT_EQ(GetPathToSenyouId(env, "/other/chiseki/fol.010"), 0x100);
  EXPECT_EQ(GetPathToSenyouId(env, "/other/CHISEKI/FOL"), 0x100);
}

TEST(PathToSenyouId, UndecidablePathsGiveFour) {
  StoreTestEnv env = HostWithFolders();
  EXPECT_EQ(GetPathToSenyouId(env, ""), 4);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/APPK/Drawing.001"), 4);
  EXPECT_EQ(GetPathToSenyouId(env, "/d/NOWHERE/Fol.001"), 4);
  EXPECT_EQ(GetPathToSenyouId(env, "Fol.001"), 4);  // no parent directory
  EXPECT_EQ(GetPathToSenyouId(env, "/Fol.001"), 4);
}

TEST(PathToSenyouId, RecycleEntriesUseTheThirdBracket) {
  StoreTestEnv env = HostWithFolders();
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[1][2024][ODN][x]/Fol.001"), 0x20);
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[a][b][chiseki]/Fol.001"), 0x100);
  // The token is taken from the whole argument, not only the drawing folder.
  EXPECT_EQ(GetPathToSenyouId(env, "/r/[a]/[b]/[TNK]/Fol.001/INDEX.VXF"), 0x2000);
  // Fewer than three pairs, an unknown or an empty token: undecided.
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[1][ODN]/Fol.001"), 4);
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[1][2][zzz]/Fol.001"), 4);
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[1][2][]/Fol.001"), 4);
  // A "]" before the third "[": the text between is empty.
  EXPECT_EQ(GetPathToSenyouId(env, "/r/RECYCCAD/[1][2]]ODN[/Fol.001"), 4);
  // Brackets outside a drawing path do not matter when no FOL is found.
  EXPECT_EQ(GetPathToSenyouId(env, "/r/[1][2][ODN]/x"), 4);
}

}  // namespace
}  // namespace vexa
