// The drawing list's print data: its nine fields, what it answers outside
// them, the standard form's installation, and a whole list laid out with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou_ids.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {
namespace {

constexpr int64_t kJan10 = 1704845103;  // 2024-01-10 09:05:03 in Tokyo
constexpr int64_t kMar05 = 1709600400;  // 2024-03-05 10:00:00 in Tokyo

FolMember Drawing(const std::string& path, const std::string& title, int appId) {
  FolMember member;
  member.path = path;
  member.appId = appId;
  member.header.SetTitle(title);
  member.header.SetCreator("山田");
  member.header.SetUpdater("佐藤");
  member.header.SetMemo("一行目\r\n二行目");
  member.header.pageCount = 4;
  member.header.createTime = UnixToFileTime(kJan10);
  member.header.updateTime = UnixToFileTime(kMar05);
  return member;
}

TEST(ZmnListPrint, GivesTheNineFieldsOfEveryDrawing) {
  const FolderEnvironObj env("");
  const FolMember drawing = Drawing("/s/CAD/HNY/Fol.012", "平面図", kAppGeneral);
  const FolMember backup = Drawing("/s/CAD/YCH/Fol.007/BKUP.001", "旧図", kAppLand);
  const std::vector<const FolMember*> members = {&drawing, &backup};
  ZmnListPrint data("/forms/LIST.FMT", members.data(), 2, env);

  struct Case {
    int record;
    int code;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, 256, "12"},         {0, 257, "平面図"},     {0, 258, "汎用"},
      {0, 259, "4"},          {0, 260, "山田"},       {0, 261, "佐藤"},
      {0, 262, "2024/01/10"}, {0, 263, "2024/03/05"}, {0, 264, "一行目\r\n二行目"},
      {1, 256, "7"},  // a backup prints its drawing's plain number
      {1, 258, "用地"},
  };
  for (const Case& c : cases) {
    std::string text = "untouched";
    EXPECT_EQ(data.GetRecordItem(32, 0, c.code, c.record, 0, text, nullptr), 1) << c.code;
    EXPECT_EQ(text, c.text) << "record " << c.record << " code " << c.code;
  }
  EXPECT_EQ(data.GetRepeatCount(32, 0), 2);
  EXPECT_EQ(data.GetRepeatCount(33, 0), 1);
}

TEST(ZmnListPrint, AnswersMinusOneWithTheTextUntouchedOutsideItsFields) {
  const FolderEnvironObj env("");
  const FolMember drawing = Drawing("/s/CAD/HNY/Fol.001", "図", kAppGeneral);
  const std::vector<const FolMember*> members = {&drawing, nullptr};
  ZmnListPrint data("", members.data(), 2, env);
  ZmnListPrint noMembers("", nullptr, 5, env);
  EXPECT_EQ(noMembers.GetRepeatCount(32, 0), 0);

  struct Case {
    ZmnListPrint* data;
    int kind;
    int code;
    int record;
  };
  for (const Case& c : {Case{&data, 32, 255, 0}, Case{&data, 32, 265, 0}, Case{&data, 31, 257, 0},
                        Case{&data, 32, 257, 2}, Case{&data, 32, 257, -1},
                        Case{&data, 32, 257, 1},  // no member at that index
                        Case{&noMembers, 32, 257, 0}}) {
    std::string text = "untouched";
    EXPECT_EQ(c.data->GetRecordItem(c.kind, 0, c.code, c.record, 0, text, nullptr), -1)
        << c.kind << " " << c.code << " " << c.record;
    EXPECT_EQ(text, "untouched");
  }
}

TEST(ZmnListPrint, TheStandardFormIsInstalledOnceAndNeverReplaced) {
  test::TempDir dir;
  const FolderEnvironObj env(dir.path());
  const std::string form = dir / "FORMS/CAD/812101/ZMNLIST.@MT";
  EXPECT_EQ(GetZmnListFormFolder(env), dir / "FORMS/CAD/812101");
  ASSERT_EQ(InstallZmnListForm(env), 1);
  EXPECT_EQ(test::ReadFileBytes(form), test::ReadFileBytes(VEXA_STANDARD_FORM));
  test::WriteFileBytes(form, "; the host's own edit\n");
  EXPECT_EQ(InstallZmnListForm(env), 1);
  EXPECT_EQ(test::ReadFileBytes(form), "; the host's own edit\n");

  const test::TestEnviron noForms;
  EXPECT_EQ(GetZmnListFormFolder(noForms), "");
  EXPECT_EQ(InstallZmnListForm(noForms), 0);
  test::WriteFileBytes(dir / "blocked/FORMS", "a file where the forms folder should be");
  EXPECT_EQ(InstallZmnListForm(FolderEnvironObj(dir / "blocked")), 0);
}

TEST(ZmnListPrint, AListOnTheStandardFormFillsPagesOf22Drawings) {
  const FolderEnvironObj env("");
  std::vector<FolMember> drawings;
  for (int n = 1; n <= 45; ++n) {
    drawings.push_back(Drawing("/s/CAD/HNY/Fol." + std::to_string(100 + n),
                               "図" + std::to_string(n), kAppGeneral));
  }
  std::vector<const FolMember*> members;
  for (const FolMember& drawing : drawings) members.push_back(&drawing);
  ZmnListPrint data(VEXA_STANDARD_FORM, members.data(), static_cast<int>(members.size()), env);
  PrintForm form;
  std::string error;
  ASSERT_EQ(data.GetForm(form, error), 1) << error;
  const PrintFormBand* band = form.FindBand(32);  // one column for each of the nine fields
  ASSERT_TRUE(band != nullptr && band->columns.size() == 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(band->columns[static_cast<size_t>(i)].fieldCode, 256 + i);
  PrintLayout layout;
  ASSERT_TRUE(LayOutPrintForm(form, data, nullptr, {"現場", "", "2026/12/06"}, layout, error))
      << error;
  ASSERT_EQ(layout.PageCount(), 3);
  EXPECT_TRUE(layout.landscape);
  std::vector<std::string> numbers;
  int memos = 0;  // on one line each: the memo's line break became blanks
  for (const PrintPage& page : layout.pages) {
    for (const PrintTextRun& run : page.texts) {
      if (run.text.rfind("1", 0) == 0 && run.text.size() == 3) numbers.push_back(run.text);
      memos += run.text == "一行目  二行目";
    }
  }
  EXPECT_EQ(memos, 45);
  ASSERT_EQ(numbers.size(), 45u);
  EXPECT_EQ(numbers.front(), "101");
  EXPECT_EQ(numbers[22], "123");  // the first row of page 2
  EXPECT_EQ(numbers.back(), "145");
}

}  // namespace
}  // namespace vexa
