// Searching from the selection dialog, driven as a user would through the
// entry point: the search button opens the search dialog, its OK filters the
// grid, the clear button shows every drawing again; nothing found, the
// no-condition question, and a search that outlives a deletion.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "select/ui/find_dlg.h"
#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "tests/support/when_shown.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

// The titles the grid shows, top to bottom.
std::vector<std::string> Titles(const FileDlgBase& dialog) {
  std::vector<std::string> titles;
  const FileSelSheet& sheet = *dialog.GetSheet();
  for (int row = 0; row < sheet.GetRecCnt(); ++row)
    titles.push_back(sheet.GetRowMember(row)->header.Title());
  return titles;
}

// Presses the search button and runs act on the search dialog once it shows;
// a search dialog that act leaves open is cancelled.
void Search(FileDlgBase& dialog, std::function<void(FindDlg&)> act) {
  Answer<FindDlg> answer(std::move(act));
  ClickControl(dialog, kIdSearch);
}

// The name condition alone, typed and confirmed with the OK button.
void SearchName(FileDlgBase& dialog, const char* name) {
  Search(dialog, [name](FindDlg& find) {
    find.Item<QCheckBox>(kIdUseName)->setChecked(true);
    find.Item<QLineEdit>(kIdName)->setText(QString::fromUtf8(name));
    ClickControl(find, IDOK);
  });
}

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawingSpec spec;
    for (auto [number, title] : {std::pair{1, "道路平面図"}, {2, "橋梁"}, {3, "道路縦断図"}}) {
      spec.title = title;
      spec.created += 1000;  // creation and update order: 1, 2, 3
      spec.updated = spec.created;
      store_.WriteAppDrawing(0x1, number, spec);
    }
  }
  int RunSelect(std::function<void(FileDlgBase&)> act) {
    Answer<FileDlgBase> answer(std::move(act));
    std::vector<std::string> paths;
    return SelectFolderName(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr, 1);
  }

  StoreFixture store_;
  const std::vector<std::string> all_ = {"道路縦断図", "橋梁", "道路平面図"};  // newest first
  const std::vector<std::string> roads_ = {"道路縦断図", "道路平面図"};
};

TEST_F(SearchTest, SearchClearNothingFoundAndReleaseThroughTheToolbar) {
  MessageRecorder messages({IDOK, IDCANCEL, IDOK});
  std::vector<std::vector<std::string>> shown;
  std::vector<bool> searching;
  // What the dialog says about the search: the note beside the application
  // filter (empty when hidden) and the hint of the clear button.
  std::vector<QString> notes;
  auto record = [&](const FileDlgBase& dialog) {
    shown.push_back(Titles(dialog));
    searching.push_back(dialog.GetSheet()->IsSearching());
    const auto* note = dialog.findChild<QLabel*>(QStringLiteral("searchState"));
    notes.push_back((note && note->isVisible() ? note->text() : QString()) + "/" +
                    dialog.GetDlgItem(kIdClearSearch)->toolTip());
  };
  bool questionKeptItOpen = false;
  QString nameShownAgain;
  RunSelect([&](FileDlgBase& dialog) {
    SearchName(dialog, "道路");
    record(dialog);
    ClickControl(dialog, kIdClearSearch);
    record(dialog);
    Search(dialog, [&](FindDlg& find) {
      nameShownAgain = find.Item<QLineEdit>(kIdName)->text();
      find.Item<QLineEdit>(kIdName)->setText("トンネル");
      ClickControl(find, IDOK);  // nothing matches
    });
    record(dialog);
    SearchName(dialog, "橋");
    record(dialog);
    Search(dialog, [&](FindDlg& find) {
      find.Item<QCheckBox>(kIdUseName)->setChecked(false);
      ClickControl(find, IDOK);  // the question, answered Cancel
      questionKeptItOpen = find.isVisible();
      ClickControl(find, IDOK);  // answered OK: the search is released
    });
    record(dialog);
  });
  EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{roads_, all_, all_, {"橋梁"}, all_}));
  EXPECT_EQ(searching, (std::vector<bool>{true, false, false, true, false}));
  const QString idle = "/検索解除";
  EXPECT_EQ(notes, (std::vector<QString>{"検索中：2件/検索解除（検索中）", idle, idle,
                                         "検索中：1件/検索解除（検索中）", idle}));
  EXPECT_EQ(nameShownAgain, "道路");
  EXPECT_TRUE(questionKeptItOpen);
  const std::string question = "条件が1つも選択されていませんが、検索を解除してもよろしいですか？";
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].text, "現場がみつかりません、検索を終了します");
  EXPECT_EQ(messages.shown[0].type, MB_OK);
  for (int i : {1, 2}) {
    EXPECT_EQ(messages.shown[i].title + messages.shown[i].text, "検索" + question);
    EXPECT_EQ(messages.shown[i].type, MB_OKCANCEL | MB_ICONQUESTION);
  }
}

TEST_F(SearchTest, SearchOutlivesADeletionAndTheStartSearchOfTheEntryPoint) {
  MessageRecorder messages({IDYES, IDOK});
  std::vector<std::string> afterDelete;
  bool searching = false;
  RunSelect([&](FileDlgBase& dialog) {
    SearchName(dialog, "道路");
    dialog.GetSheet()->JumpTo(dialog.GetSheet()->FindRecord(0, 0x1), 1);  // drawing 1
    ClickControl(dialog, kIdDelete);
    afterDelete = Titles(dialog);
    searching = dialog.GetSheet()->IsSearching();
  });
  EXPECT_EQ(afterDelete, std::vector<std::string>{"道路縦断図"});
  EXPECT_TRUE(searching);

  FindCriteria bridges;
  bridges.useName = 1;
  bridges.name = "橋";
  ScopedStartSearch start(bridges);
  std::vector<std::string> atStart;
  RunSelect([&](FileDlgBase& dialog) {
    atStart = Titles(dialog);
    searching = dialog.GetSheet()->IsSearching();
  });
  EXPECT_EQ(atStart, std::vector<std::string>{"橋梁"});
  EXPECT_TRUE(searching);
}

}  // namespace
}  // namespace vexa::test
