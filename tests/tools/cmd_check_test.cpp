// `vexafol check` as a program: its exit statuses, its text and JSON reports,
// and store names that are no clean text shown escaped in both.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/check/store_damage.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

using CheckTool = SharedStoreTest;

TEST_F(CheckTool, ReportsNothingOnASoundStoreAndProblemsWithEscapedNames) {
  const ToolRun sound = RunTool({"check", store_});
  EXPECT_EQ(sound.exit, 0) << sound.out;
  EXPECT_NE(sound.out.find("Nothing is wrong."), std::string::npos) << sound.out;
  EXPECT_NE(sound.out.find("\n  deployment: "), std::string::npos) << sound.out;
  const ToolRun soundJson = RunTool({"check", store_, "--json"});
  EXPECT_EQ(soundJson.exit, 0);
  EXPECT_NE(soundJson.out.find("\"locksWork\": true"), std::string::npos) << soundJson.out;
  EXPECT_NE(soundJson.out.find("\"deployment\": \""), std::string::npos) << soundJson.out;
  EXPECT_NE(soundJson.out.find("\"remaining\": 0"), std::string::npos) << soundJson.out;
  // No store given, none in VEXAFOL_STORE, none around the test's folder.
  EXPECT_EQ(RunTool({"check"}, {.environment = {{"VEXAFOL_STORE", ""}}}).exit, 2);
  EXPECT_EQ(RunTool({"check", store_, store_}).exit, 2);
  EXPECT_EQ(RunTool({"check", store_, "--fix=yes"}).exit, 2);
  EXPECT_EQ(RunTool({"check", store_ + "/missing"}).exit, 1);

  const std::string app = GeneralAppFolder(store_);
  // A folder the group cannot use, named with an escape sequence and a byte
  // that is not UTF-8.
  const std::string odd = app + "/odd\x1b[2J\xff";
  ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0);
  ::chmod(odd.c_str(), 0700);

  const ToolRun text = RunTool({"check", store_});
  EXPECT_EQ(text.exit, 1);
  EXPECT_NE(text.out.find("problem " + app + "/odd\\x1b[2J\\xff: "), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find('\x1b'), std::string::npos);
  EXPECT_NE(text.out.find("1 problem, 1 left."), std::string::npos) << text.out;

  const ToolRun json = RunTool({"check", store_, "--json"});
  EXPECT_EQ(json.exit, 1);
  EXPECT_NE(json.out.find("\"path\": \"" + app + "/odd\\u001b[2J\\udcff\""), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"remaining\": 1"), std::string::npos) << json.out;

  const ToolRun fix = RunTool({"check", store_, "--fix"});
  EXPECT_EQ(fix.exit, 0) << fix.out;
  EXPECT_NE(fix.out.find("1 problem, 1 fixed."), std::string::npos) << fix.out;
}

}  // namespace
}  // namespace vexa::test
