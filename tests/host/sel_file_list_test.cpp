#include "vexafol/sel_file_list.h"

#include <gtest/gtest.h>

#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using platform::ScopedEnv;

class SelFileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"fol.003/INDEX.VXF", "Fol.001/INDEX.VXF", "FOL.002/INDEX.VXF",
                             "Fol.07/INDEX.VXF", "BKUP.001/x", "CADAPP.LOC", "notes.txt"}) {
      test::WriteFileBytes(dir_ / name, "x");
    }
  }
  std::vector<std::string> Names(const CSelFileList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCnt(); ++i) names.push_back(list.GetFileName(i));
    return names;
  }

  test::TempDir dir_;
  test::TestEnviron env_;
};

TEST_F(SelFileListTest, ListsAdmittedEntriesByNameIgnoringCaseAndSelectsByTheLastExtension) {
  CSelFileList list;
  EXPECT_EQ(
      list.AddFileList(env_, dir_.path(), "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.???", nullptr, 1, nullptr, nullptr),
      3);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Fol.001", "FOL.002", "fol.003"}));
  EXPECT_LT(list.GetSelect(), 0);
  CSelFileList appended;
  appended.AddFileList(env_, dir_.path(), "|BKUP.*", nullptr, 1, nullptr, nullptr);
  appended.AddFileList(env_, dir_.path(), "|FOL.*", ".002", 1, nullptr, nullptr);
  EXPECT_EQ(appended.GetCnt(), 5);
  EXPECT_EQ(appended.GetSelect(), 2);  // FOL.002, after BKUP.001 and Fol.001
  appended.AddFileList(env_, dir_.path(), "|*.TXT", ".001", 1, nullptr, nullptr);
  EXPECT_EQ(appended.GetSelect(), 0);  // the first entry with that extension
}

TEST_F(SelFileListTest, CallbackKeepsEntriesAndSetsTheirDisplay) {
  std::vector<std::string> seen;
  auto keepOddWithPath = [](const CEnvironObj& env, std::string& display, const std::string& path,
                            void* data) {
    static_cast<std::vector<std::string>*>(data)->push_back(path);
    if (env.GetExtNumber(display) % 2 == 0) return 0;
    display = path;
    return 1;
  };
  CSelFileList list;
  EXPECT_EQ(list.AddFileList(env_, dir_.path(), "x|FOL.*", ".003", 1, keepOddWithPath, &seen), 3);
  EXPECT_EQ(seen, (std::vector<std::string>{dir_ / "Fol.001", dir_ / "FOL.002", dir_ / "fol.003",
                                            dir_ / "Fol.07"}));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Fol.001", "fol.003", "Fol.07"}));
  EXPECT_EQ(list.GetDispStr(1), dir_ / "fol.003");
  EXPECT_EQ(list.GetSelect(), 1);
}

TEST_F(SelFileListTest, ReadsTheFolderOnceAndToleratesFailures) {
  FaultEnv faults;
  ScopedEnv scoped(faults);
  CSelFileList list;
  list.AddFileList(env_, dir_.path(), "|FOL.???", nullptr, 1, nullptr, nullptr);
  EXPECT_EQ(faults.Calls(Op::ListDir), 1);
  faults.Fail(Op::ListDir, EACCES);
  EXPECT_EQ(list.AddFileList(env_, dir_.path(), "", ".001", 1, nullptr, nullptr), 0);
  EXPECT_EQ(list.GetCnt(), 3);  // earlier entries stay
  faults.Clear();
  CSelFileList missing;
  EXPECT_EQ(missing.AddFileList(env_, dir_ / "nowhere", "", nullptr, 1, nullptr, nullptr), 0);
}

TEST_F(SelFileListTest, FindsAFolderCopiedInAnotherCase) {
  test::WriteFileBytes(dir_ / "cad/hny/fol.004/INDEX.VXF", "x");
  std::string path;
  auto recordPath = [](const CEnvironObj&, std::string&, const std::string& full, void* data) {
    *static_cast<std::string*>(data) = full;
    return 1;
  };
  CSelFileList list;
  EXPECT_EQ(list.AddFileList(env_, dir_ / "CAD/HNY", "|FOL.???", nullptr, 1, recordPath, &path), 1);
  EXPECT_EQ(path, dir_ / "cad/hny/fol.004");
}

}  // namespace
}  // namespace vexa
