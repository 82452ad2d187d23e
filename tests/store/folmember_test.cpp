#include "vexafol/folmember.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <set>

#include "tests/store/test_env.h"
#include "tests/support/temp_dir.h"
#include "vexafol/filetime.h"

namespace vexa {
namespace {

using test::StoreTestEnv;

// A host whose file system is a set of existing paths; counts the questions.
class FakeStoreEnv : public StoreTestEnv {
 public:
  std::set<std::string> existing;
  mutable int existCalls = 0;

  int IsExist(const std::string& path) const override {
    ++existCalls;
    return existing.count(path) ? 1 : -1;
  }
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

TEST(CreateFolderName, HandsOutNumbersAboveTheHighest) {
  FakeStoreEnv env;
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.001");

  env.AddFolders(1, 2);
  env.AddFolders(5, 5);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.006");  // not the gap at 3

  env.existing = {"/app/Fol.998"};
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.999");

  env.existing = {"/app/Fol.001"};
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.002");
}

TEST(CreateFolderName, ReusesTheLowestGapOnceTheTopIsTaken) {
  FakeStoreEnv env;
  env.AddFolders(999, 999);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.001");

  env.AddFolders(1, 4);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.005");

  env.AddFolders(6, 998);
  EXPECT_EQ(ChooseFolder(env), "/app/Fol.005");

  env.AddFolders(5, 5);
  EXPECT_EQ(ChooseFolder(env), "");  // all 999 taken: result 0, output emptied
  EXPECT_EQ(CreateFolderName(env, "/app", nullptr), 0);
}

TEST(CreateFolderName, AsksNoMoreThanNeeded) {
  FakeStoreEnv env;
  env.AddFolders(1, 10);
  std::string out;
  ASSERT_EQ(CreateFolderName(env, "/app", &out), 1);
  EXPECT_EQ(out, "/app/Fol.011");
  // 999, the walk from 998 down to 10, then 11.
  EXPECT_EQ(env.existCalls, 1 + 989 + 1);
}

TEST(CreateFolderName, WorksOnRealFolders) {
  test::TempDir dir;
  StoreTestEnv env;
  std::filesystem::create_directories(dir / "Fol.001");
  std::filesystem::create_directories(dir / "Fol.004");
  std::string out;
  ASSERT_EQ(CreateFolderName(env, dir.path().c_str(), &out), 1);
  EXPECT_EQ(out, dir / "Fol.005");
  EXPECT_FALSE(std::filesystem::exists(out));  // chosen, not created
}

TEST(FolderNo, FromTheNumericExtension) {
  StoreTestEnv env;
  const struct {
    const char* path;
    int expected;
  } cases[] = {
      {"/app/Fol.007", 6},
      {"/app/Fol.012", 11},
      {"/app/Fol.001", 0},
      {"/app/Fol.999", 998},
      {"/app/Fol.1", 0},
      {"/app/fol.042", 41},
      {"/app/Fol.007/BKUP", 6},
      {"/app/Fol.012/BKUP.003", 11},
      {"/app/Fol.012/bkup", 11},
      {"/app/Fol.012/Bkup.7", 11},
      {"/app/Fol", -1},
      {"/app/Fol.x1", -1},
      {"/app/Fol.", -1},
      {"/app/Fol.007abc", 6},
      {"/app/Fol.-5", -6},
      {"/app/Fol.99999999999", INT_MAX - 1},
      {"/app/BKUP", -1},
      {"/app/Fol.007/BKUPX", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    FolMember member;
    member.path = c.path;
    EXPECT_EQ(member.GetFolderNo(env), c.expected) << c.path;
  }
}

TEST(FolMemberPaths, FilesOfTheDrawingAndItsBackup) {
  StoreTestEnv env;
  FolMember member;
  member.path = "/app/Fol.003";
  EXPECT_EQ(member.GetPath(env, 0), "/app/Fol.003");
  EXPECT_EQ(member.GetPath(env, 1), "/app/Fol.003/BKUP");
  EXPECT_EQ(member.GetIndexFile(env, 0), "/app/Fol.003/INDEX.VXF");
  EXPECT_EQ(member.GetIndexFile(env, 1), "/app/Fol.003/BKUP/INDEX.VXF");
  EXPECT_EQ(member.GetPageFile(env, 1, 0), "/app/Fol.003/BKUP/pagefile.000");
  EXPECT_EQ(member.GetPageFile(env, 0, 12), "/app/Fol.003/pagefile.012");
  EXPECT_EQ(member.GetPageBmpFile(env, 0, 7), "/app/Fol.003/page007.bmp");
  EXPECT_EQ(member.GetPageBmpFile(env, 1, 1000), "/app/Fol.003/BKUP/page1000.bmp");
}

TEST(NamingFunctions, AppendStoreNames) {
  StoreTestEnv env;
  std::string path = "/app/Fol.003";
  CreateBackupPath(env, path, 0);
  EXPECT_EQ(path, "/app/Fol.003/BKUP");
  path = "/b";
  CreateBackupPath(env, path, 12);
  EXPECT_EQ(path, "/b/BKUP.012");
  path = "/b";
  CreateBackupPath(env, path, 1000);
  EXPECT_EQ(path, "/b/BKUP.1000");

  path = "/app/Fol.003/INDEX.VXF";
  CreatePageName(env, path, 2);
  EXPECT_EQ(path, "/app/Fol.003/pagefile.002");
  CreatePageBmpName(env, path, 3);  // any file of the folder will do
  EXPECT_EQ(path, "/app/Fol.003/page003.bmp");
}

TEST(RecyclePath, DataPathThenHomePath) {
  StoreTestEnv env;
  EXPECT_EQ(CreateRecycleCadHomePath(env), "");  // not the bare "RECYCCAD"
  env.homePath = "/home/u/vexa";
  EXPECT_EQ(CreateRecycleCadHomePath(env), "/home/u/vexa/RECYCCAD");
  env.dataPath = "/data";
  EXPECT_EQ(CreateRecycleCadHomePath(env), "/data/RECYCCAD");
}

TEST(FolMemberRecord, DefaultAndCopy) {
  FolMember member;
  EXPECT_TRUE(member.path.empty());
  EXPECT_EQ(member.header.version, 2);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&member.header);
  for (size_t i = 4; i < sizeof member.header; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(member.appId, 0);
  EXPECT_EQ(member.lockState, 0);
  EXPECT_EQ(member.fileState, 0);

  member.path = "/app/Fol.001";
  std::memset(member.header.memo, 0xA5, sizeof member.header.memo);  // no NUL at all
  member.header.pageCount = 7;
  member.appId = 0x10;
  member.lockState = 2;
  member.fileState = 1;
  FolMember copy(member);
  FolMember assigned;
  assigned = member;
  for (const FolMember* other : {&copy, &assigned}) {
    EXPECT_EQ(other->path, member.path);
    EXPECT_EQ(std::memcmp(&other->header, &member.header, sizeof member.header), 0);
    EXPECT_EQ(other->appId, 0x10);
    EXPECT_EQ(other->lockState, 2);
    EXPECT_EQ(other->fileState, 1);
  }
}

TEST(FolMemberTimes, LocalTimeAndUserTexts) {
  FolMember member;
  // 2024-01-10 00:05:03 UTC is 09:05:03 in Tokyo (the tests' time zone).
  member.header.createTime = UnixToFileTime(1704845103);
  member.header.updateTime = UnixToFileTime(1704845103 + 15 * 3600);
  SYSTEMTIME created{};
  member.GetCreateSysTime(created);
  EXPECT_EQ(created.wYear, 2024);
  EXPECT_EQ(created.wMonth, 1);
  EXPECT_EQ(created.wDay, 10);
  EXPECT_EQ(created.wHour, 9);
  EXPECT_EQ(created.wMinute, 5);
  EXPECT_EQ(created.wSecond, 3);
  SYSTEMTIME updated{};
  member.GetUpdateSysTime(updated);
  EXPECT_EQ(updated.wDay, 11);  // past midnight local time
  EXPECT_EQ(updated.wHour, 0);

  EXPECT_EQ(FolMember::GetDateString(created), "2024/01/10");
  EXPECT_EQ(FolMember::GetTimeString(created), "9:05:03");

  // A time beyond what the calendar conversion takes leaves the output alone.
  member.header.createTime = {0xFFFFFFFF, 0xFFFFFFFF};
  SYSTEMTIME untouched{};
  untouched.wYear = 1234;
  member.GetCreateSysTime(untouched);
  EXPECT_EQ(untouched.wYear, 1234);
}

}  // namespace
}  // namespace vexa
