// The selection dialog's own controls around the grid: which keys confirm
// it, the application combo of each kind, and the display items button that
// rebuilds the grid's columns only when its dialog ends with OK.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include <memory>

#include "tests/select/ui/dialog_driver.h"
#include "tests/select/ui/grid_fixture.h"
#include "vexafol/ui/drag_list_box.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/set_item_dlg.h"

namespace vexa::test {
namespace {

using Texts = std::vector<std::string>;

// Drawings 1 and 2 of the general application, 3 of the survey one.
class DialogControls : public testing::Test, public GridFixture {
 protected:
  DialogControls() {
    WriteAppDrawing(0x1, 1);
    WriteAppDrawing(0x1, 2);
    WriteAppDrawing(0x4, 3);
    Load(0x1, 0);
  }
  static void Open(FileDlgBase& dialog) {
    dialog.InitDialog();
    dialog.show();
  }
  static Texts Headers(const FileSelSheet& sheet) {
    Texts headers;
    for (int col = 0; col < sheet.model()->columnCount(); ++col) {
      headers.push_back(sheet.GetHeaderText(col));
    }
    return headers;
  }
  // The display items stored for the next dialog.
  std::vector<int> StoredItems() const {
    int items[kMaxItems] = {};
    int count = 0, sizeX = 0, sizeY = 0;
    LoadItemSettings(env(), items, count, sizeX, sizeY);
    return std::vector<int>(items, items + count);
  }
};

// Only the grid and the OK button confirm with Return: in the application
// list or a field of the info panel it would end the dialog on a record the
// user never chose. Escape in the panel still cancels the dialog.
TEST_F(DialogControls, ReturnConfirmsOnlyInTheGridAndEscapeInThePanelCancels) {
  struct Case {
    const char* where;
    Qt::Key key;
    int result;  // 0: still open
  };
  const Case cases[] = {
      {"combo", Qt::Key_Return, 0},        {"combo", Qt::Key_Enter, 0},
      {"panel", Qt::Key_Return, 0},        {"panel", Qt::Key_Enter, 0},
      {"panel", Qt::Key_Escape, IDCANCEL}, {"grid", Qt::Key_Return, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.where) + " " + std::to_string(c.key));
    FileSelDlg dialog(&list(), nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    MessageRecorder messages;
    const std::string where = c.where;
    QWidget* target = where == "combo" ? dialog.GetDlgItem(kIdAppCombo)
                      : where == "panel"
                          ? static_cast<QWidget*>(dialog.GetInfoPanel()->findChild<QLineEdit*>())
                          : dialog.GetSheet();
    ASSERT_NE(target, nullptr);
    target->setFocus();
    QTest::keyClick(target, c.key);
    EXPECT_EQ(dialog.isVisible(), c.result == 0);
    if (c.result != 0) {
      EXPECT_EQ(dialog.result(), c.result);
    }
    EXPECT_TRUE(messages.shown.empty());
    // The panel passes the key on rather than closing itself.
    EXPECT_EQ(dialog.GetInfoPanel()->isVisible(), c.result == 0);
  }
}

// In the write kind a number is free only in the application the caller
// named, and a restore lists one application's recycled drawings: neither
// lets the user switch applications.
TEST_F(DialogControls, ApplicationComboIsDisabledInTheWriteAndRestoreKinds) {
  FileSelDlg select(&list(), nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  FileAddDlg write(&list(), nullptr, 0);
  FileDelDlg erase(&list(), nullptr, 0);
  RestoreSelDlg restore(&list(), nullptr);
  const std::pair<FileDlgBase*, bool> cases[] = {
      {&select, true}, {&write, false}, {&erase, true}, {&restore, false}};
  for (const auto& [dialog, enabled] : cases) {
    Open(*dialog);
    auto* combo = dialog->Item<QComboBox>(kIdAppCombo);
    EXPECT_EQ(combo->isEnabled(), enabled) << dialog->windowTitle().toStdString();
    // A key on a disabled combo reaches nothing: the list keeps its application.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(list().GetAppType(), enabled ? 0x4 : 0x1) << dialog->windowTitle().toStdString();
    Load(0x1, 0);
    dialog->GetSheet()->AttachList(&list());
    dialog->GetSheet()->ClearSearch();
    dialog->hide();
  }
}

TEST_F(DialogControls, DisplayItemsApplyOnOkAndStayUntouchedOnCancel) {
  const Texts defaults = {"No", "図面名", "CAD", "PAGE", "変更日(↑)"};
  // The user drops "図面No" and narrows the name, then ends with Cancel or OK.
  auto change = [](SetItemDlg& items, int button) {
    items.ShownList()->setCurrentRow(0);
    items.RemoveSelected();
    items.NameWidthEdit()->setText("30");
    ClickControl(items, button);
  };
  {
    FileSelDlg dialog(&list(), nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    ASSERT_EQ(Headers(*dialog.GetSheet()), defaults);
    Answer<SetItemDlg> cancel([&](SetItemDlg& items) { change(items, IDCANCEL); });
    ClickControl(dialog, kIdDisplayItems);
    EXPECT_TRUE(cancel.seen());
    EXPECT_EQ(Headers(*dialog.GetSheet()), defaults);
    EXPECT_EQ(dialog.GetSheet()->GetColLen(1), kDefaultNameMax);
    EXPECT_EQ(GetNameMax(), kDefaultNameMax);
  }
  EXPECT_EQ(StoredItems(), (std::vector<int>{0, 1, 2, 3, 7}));
  {
    FileSelDlg dialog(&list(), nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    Answer<SetItemDlg> confirm([&](SetItemDlg& items) { change(items, IDOK); });
    ClickControl(dialog, kIdDisplayItems);
    EXPECT_TRUE(confirm.seen());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Headers(*dialog.GetSheet()), (Texts{"図面名", "CAD", "PAGE", "変更日(↑)"}));
    EXPECT_EQ(dialog.GetSheet()->GetColLen(0), 30);
  }
  // The next dialog opens with the new columns.
  EXPECT_EQ(StoredItems(), (std::vector<int>{1, 2, 3, 7}));
  FileSelDlg next(&list(), nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(next);
  EXPECT_EQ(Headers(*next.GetSheet()), (Texts{"図面名", "CAD", "PAGE", "変更日(↑)"}));
}

}  // namespace
}  // namespace vexa::test

namespace vexa::test {
namespace {

// The backup button follows the drawing under the cursor: off at once on a
// drawing not looked at yet, on once its folder was listed, and at once on
// coming back; after a reload (the application filter) it is read anew.
TEST_F(DialogControls, TheBackupButtonFollowsTheCurrentDrawing) {
  const std::string folder = AppFolder(0x1) + "/Fol.002";
  WriteDrawing(folder + "/BKUP.001");
  FileSelDlg dialog(&list(), nullptr, 1, 1, nullptr, nullptr, nullptr, 0);
  Open(dialog);
  QWidget* button = dialog.GetDlgItem(kIdBackup);
  FileSelSheet& sheet = *dialog.GetSheet();
  EXPECT_FALSE(button->isEnabled());  // drawing 1, listed before the dialog showed
  sheet.JumpTo(sheet.FindRecord(1, 0x1), 1);
  EXPECT_FALSE(button->isEnabled());
  QCoreApplication::processEvents();
  EXPECT_TRUE(button->isEnabled());
  sheet.JumpTo(sheet.FindRecord(0, 0x1), 1);
  EXPECT_FALSE(button->isEnabled());
  sheet.JumpTo(sheet.FindRecord(1, 0x1), 1);
  EXPECT_TRUE(button->isEnabled());

  auto* combo = dialog.Item<QComboBox>(kIdAppCombo);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);  // 用地: drawing 3, no backups
  QCoreApplication::processEvents();
  EXPECT_FALSE(button->isEnabled());
}

}  // namespace
}  // namespace vexa::test
