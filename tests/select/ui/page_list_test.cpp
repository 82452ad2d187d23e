// The selection dialog's page list: a page chosen there ends the dialog, also
// in page-only mode, and every entry point turns it into the page file of the
// drawing under the cursor.
#include <gtest/gtest.h>

#include <functional>

#include "tests/page/ui/page_store.h"
#include "tests/select/ui/dialog_driver.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

class PageListTest : public testing::Test, public PageStore {
 protected:
  void SetUp() override {
    Write(std::vector<PageSpec>(1), 1);
    drawing = Write(std::vector<PageSpec>(4), 3).path;
  }
  std::string drawing;
};

// Puts the cursor on drawing 3 and chooses page 2 in the page list. (OK's
// page-only refusal is the selection dialog test's.)
void ChoosePage2OfDrawing3(FileDlgBase& dialog) {
  dialog.GetSheet()->JumpTo(dialog.GetSheet()->FindRecord(2, 0x1), 1);
  Answer<PageDlg> answer([](PageDlg& pages) {
    ClickPage(pages, 0, 2);
    QTest::mouseClick(pages.GetDlgItem(kIdDrawPage), Qt::LeftButton);
  });
  ClickControl(dialog, kIdPageList);
}

TEST_F(PageListTest, EveryEntryPointReturnsThePageFileChosen) {
  struct Case {
    const char* form;
    std::function<int(std::string&)> call;  // result, and the path handed back
  };
  const Case cases[] = {
      {"array form, page only",
       [&](std::string& path) {
         std::vector<std::string> paths;
         const int result = SelectFolderName(nullptr, env(), kModePageOnly, 0x1, paths, nullptr,
                                             nullptr, nullptr, 1);
         path = paths.size() == 1 ? paths[0] : "";
         return result;
       }},
      {"second form, page only",
       [&](std::string& path) {
         std::vector<std::string> paths;
         const int result = SelectFolderName2(nullptr, env(), kModePageOnly, 0x1, paths, nullptr,
                                              nullptr, nullptr, 1, 0);
         path = paths.size() == 1 ? paths[0] : "";
         return result;
       }},
      {"single path",
       [&](std::string& path) {
         return SelectFolderName(nullptr, env(), kModePageOnly, 0x1, &path);
       }},
      {"path and command line",
       [&](std::string& path) {
         std::string command;
         const int result = SelectFolderName(nullptr, env(), 0x1, &path, &command);
         EXPECT_TRUE(command.ends_with(" " + path)) << command;
         return result;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    Answer<FileDlgBase> answer(ChoosePage2OfDrawing3);
    std::string path;
    EXPECT_EQ(c.call(path), 1);
    EXPECT_EQ(path, drawing + "/pagefile.002");
  }
}

}  // namespace
}  // namespace vexa::test
