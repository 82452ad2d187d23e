// `vexafol check` on a sample store: a sound store has nothing wrong; a store
// damaged by the damage helper shows every planted fault, and --fix repairs
// exactly the ones that cannot lose a drawing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/sharedstore/store_damage.h"
#include "tests/sharedstore/tool_run.h"
#include "tests/support/temp_dir.h"

namespace vexa::test {
namespace {

// The JSON line of the first finding of kind about path, or "".
std::string FindingLine(const std::string& json, const std::string& kind, const std::string& path) {
  std::istringstream lines(json);
  const std::string wanted = "{\"kind\": \"" + kind + "\", \"path\": \"" + path + "\",";
  for (std::string line; std::getline(lines, line);)
    if (line.find(wanted) != std::string::npos) return line;
  return "";
}

class CheckTool : public testing::Test {
 protected:
  CheckTool() {
    // A store folder shared with a group, as docs/shared-stores.md sets it up.
    ::mkdir(shared_.c_str(), 0700);
    ::chmod(shared_.c_str(), 02770);
    demo_ = RunTool({"demo", store_});
  }

  TempDir dir_;
  std::string shared_ = dir_ / "shared";
  std::string store_ = shared_ + "/store";
  ToolRun demo_;
};

TEST_F(CheckTool, ASampleStoreHasNothingWrong) {
  ASSERT_EQ(demo_.exit, 0) << demo_.out;
  struct stat st {};
  ASSERT_EQ(::stat((GeneralAppFolder(store_) + "/Fol.001").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02770u);  // made under the shared folder's policy

  const ToolRun check = RunTool({"check", store_});
  EXPECT_EQ(check.exit, 0) << check.out;
  EXPECT_NE(check.out.find("Nothing is wrong."), std::string::npos) << check.out;
  const ToolRun json = RunTool({"check", store_, "--json"});
  EXPECT_EQ(json.exit, 0);
  EXPECT_NE(json.out.find("\"locksWork\": true"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"remaining\": 0"), std::string::npos) << json.out;
  EXPECT_EQ(RunTool({"check"}).exit, 2);
  EXPECT_EQ(RunTool({"check", store_ + "/missing"}).exit, 1);
}

TEST_F(CheckTool, ListsEveryPlantedFaultAndFixesOnlyTheHarmlessOnes) {
  ASSERT_EQ(demo_.exit, 0) << demo_.out;
  const std::vector<PlantedFault> planted = DamageStore(store_);

  const ToolRun check = RunTool({"check", store_, "--json"});
  EXPECT_EQ(check.exit, 1);
  for (const PlantedFault& fault : planted) {
    const std::string line = FindingLine(check.out, fault.kind, fault.path);
    EXPECT_NE(line, "") << fault.kind << " " << fault.path << "\n" << check.out;
    EXPECT_NE(line.find("\"fixed\": false"), std::string::npos) << line;  // nothing changed
  }
  EXPECT_EQ(RunTool({"check", store_, "--json"}).out, check.out);

  const ToolRun fix = RunTool({"check", store_, "--json", "--fix"});
  EXPECT_EQ(fix.exit, 1);  // what could lose a drawing is left to the user
  for (const PlantedFault& fault : planted) {
    const std::string line = FindingLine(fix.out, fault.kind, fault.path);
    EXPECT_NE(line.find(fault.fixable ? "\"fixed\": true" : "\"fixed\": false"), std::string::npos)
        << fault.kind << " " << fault.path << "\n"
        << fix.out;
  }
  const std::string app = GeneralAppFolder(store_);
  const std::string recycle = store_ + "/DATA/RECYCCAD";
  struct stat st {};
  EXPECT_NE(::stat((app + "/CADAPP.LOC").c_str(), &st), 0);
  EXPECT_NE(::stat((recycle + "/LOCK.TMP").c_str(), &st), 0);
  ASSERT_EQ(::stat((app + "/Fol.001").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02775u);  // bits added, none taken away
  EXPECT_EQ(::stat((recycle + "/[WORK.001][SITE.001][HNY]前の図面.003").c_str(), &st), 0);
  EXPECT_EQ(::stat((recycle + "/[WORK.001][SITE.001][HNY]古い図面.001").c_str(), &st), 0);
  EXPECT_EQ(::stat((recycle + "/no tokens.002").c_str(), &st), 0);

  // Only the faults that need a person are left.
  const ToolRun again = RunTool({"check", store_, "--json"});
  for (const PlantedFault& fault : planted)
    EXPECT_EQ(FindingLine(again.out, fault.kind, fault.path) != "", !fault.fixable)
        << fault.kind << " " << fault.path << "\n"
        << again.out;
}

}  // namespace
}  // namespace vexa::test
