#include "vexafol/folmember.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "tests/support/test_environ.h"

namespace vexa {
namespace {

using test::TestEnviron;

// A host whose file system is a set of existing paths.
class FakeStoreEnv : public TestEnviron {
 public:
  std::set<std::string> existing;

  int IsExist(const std::string& path) const override { return existing.count(path) ? 1 : -1; }
  void AddFolders(int from, int to) {
    for (int n = from; n <= to; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "/app/Fol.%03d", n);
      existing.insert(name);
    }
  }
};

std::string ChooseFolder(const FakeStoreEnv& env) {
  std::string out = "untouched";
  const int result = CreateFolderName(env, "/app", &out);
  EXPECT_EQ(result, out.empty() ? 0 : 1);
  return out;
}

TEST(CreateFolderName, NumberAboveTheHighestThenTheLowestGap) {
  FakeStoreEnv env;
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.001");
  env.AddFolders(1, 2);
  env.AddFolders(5, 5);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.006");  // not the gap at 3

  env.existing = {"/app/Fol.999"};  // the top is taken: the lowest gap
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.001");
  env.AddFolders(1, 4);
  env.AddFolders(6, 998);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.005");
  env.AddFolders(5, 5);
  EXPECT_EQ(ChooseFolder(env), "");  // all 999 taken: result 0, output emptied
  EXPECT_EQ(CreateFolderName(env, "/app", nullptr), 0);
}

TEST(FolderNo, FromTheNumericExtension) {
  TestEnviron env;
  const std::pair<const char*, int> cases[] = {
      {"/app/Fol.001", 0},        {"/app/fol.999", 998},
      {"/app/Fol.007/BKUP", 6},   {"/app/Fol.012/bkup.003", 11},
      {"/app/Fol", -1},           {"/app/Fol.x1", -1},
      {"/app/Fol.007abc", 6},     {"/app/Fol.99999999999", INT_MAX - 1},
      {"/app/Fol.007/BKUPX", -1}, {"", -1},
  };
  for (const auto& [path, expected] : cases) {
    FolMember member;
    member.path = path;
    EXPECT_EQ(member.GetFolderNo(env), expected) << path;
  }
}

TEST(FolMemberPaths, FilesOfTheDrawingAndItsBackups) {
  TestEnviron env;
  FolMember member;
  member.path = "/app/Fol.003";
  EXPECT_EQ(member.GetIndexFile(env, 1), "/app/Fol.003/BKUP/INDEX.VXF");
  EXPECT_EQ(member.GetPageFile(env, 1, 1000), "/app/Fol.003/BKUP/pagefile.1000");
  EXPECT_EQ(member.GetPageBmpFile(env, 0, 7), "/app/Fol.003/page007.bmp");

  std::string path = "/app/Fol.003/INDEX.VXF";
  CreatePageName(env, path, 2);  // any file of the folder will do
  EXPECT_EQ(path, "/app/Fol.003/pagefile.002");
}

TEST(RecyclePath, DataPathThenHomePath) {
  TestEnviron env;
  EXPECT_EQ(CreateRecycleCadHomePath(env), "");  // not the bare "RECYCCAD"
  env.homePath = "/home/u/vexa";
  EXPECT_EQ(CreateRecycleCadHomePath(env), "/home/u/vexa/RECYCCAD");
  env.dataPath = "/data";
  EXPECT_EQ(CreateRecycleCadHomePath(env), "/data/RECYCCAD");
}

}  // namespace
}  // namespace vexa
