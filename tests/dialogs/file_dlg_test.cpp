// The selection dialog frame: what each kind shows, what confirming accepts
// and refuses (with the exact messages), the application filter, and the
// layout when the window is resized.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QStyle>

#include "tests/dialogs/dialog_driver.h"
#include "tests/dialogs/lock_holder.h"
#include "tests/folderlist/store_fixture.h"
#include "vexafol/print.h"
#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/file_info_dlg.h"

namespace vexa {
namespace {

using test::ClickControl;
using test::MarkRows;
using test::MessageRecorder;
using test::StoreFixture;

constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;

bool Shown(DialogBase& dialog, int id) {
  return !dialog.GetDlgItem(id)->isHidden();
}
bool Enabled(DialogBase& dialog, int id) {
  return dialog.GetDlgItem(id)->isEnabled();
}

test::DrawingSpec Spec(const std::string& title, int64_t updated) {
  test::DrawingSpec spec;
  spec.title = title;
  spec.updated = updated;
  return spec;
}

class FileDlgTest : public ::testing::Test {
 protected:
  // Drawings 1 and 3 of the general application, 2 of the survey one.
  void SetUp() override {
    first_ = store_.WriteAppDrawing(0x1, 1, Spec("平面図", 1700000300));
    third_ = store_.WriteAppDrawing(0x1, 3, Spec("縦断図", 1700000100));
    store_.WriteAppDrawing(0x4, 2, Spec("用地図", 1700000000));
    list_.Load(0x1, 0);
  }
  // Initialises and shows a dialog without a modal loop.
  static void Open(FileDlgBase& dialog) {
    dialog.InitDialog();
    dialog.show();
  }
  int RowOf(FileDlgBase& dialog, int number) {
    return dialog.GetSheet()->FindRecord(number - 1, 0x1);
  }

  StoreFixture store_;
  std::string first_, third_;
  VexaFolderList list_{store_.env()};
};

TEST_F(FileDlgTest, EachKindHasItsCaptionAndControls) {
  FileSelDlg select(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(select);
  EXPECT_EQ(select.objectName(), "29003");
  EXPECT_EQ(select.windowTitle().toStdString(), "編集する図面の選択");
  for (int id : {29006, 29007, 29008, 29010, 29033, 29055, 29065, IDOK, IDCANCEL, 29019, 29064})
    EXPECT_TRUE(Shown(select, id)) << id;
  EXPECT_FALSE(Shown(select, 29073));  // the switch only for SelectFolderName2
  EXPECT_FALSE(Shown(select, 29072));  // print only with a print context
  EXPECT_FALSE(Shown(select, 25000));
  auto* search = select.Item<BitButton>(29033);
  EXPECT_EQ(search->Hint(), "検索");
  EXPECT_FALSE(search->icon().isNull());
  // Operations this library does not offer yet are there but disabled, the
  // display items work.
  for (int id : {29006, 29007, 29008, 29010, 29033, 29055, 29072})
    EXPECT_FALSE(Enabled(select, id)) << id;
  EXPECT_TRUE(Enabled(select, 29065));
  EXPECT_EQ(select.GetInfoPanel()->objectName(), "29016");

  CFormPathList forms;
  CJknMan conditions;
  FileSelDlg alternate(&list_, nullptr, 0, 1, &forms, &conditions, nullptr, 1);
  alternate.SetSwitchState(1);
  Open(alternate);
  EXPECT_EQ(alternate.windowTitle().toStdString(), "図面選択");
  EXPECT_TRUE(Shown(alternate, 29073));
  EXPECT_TRUE(Shown(alternate, 29072));
  EXPECT_FALSE(Enabled(alternate, 29072));

  FileAddDlg write(&list_, nullptr, 0);
  Open(write);
  EXPECT_EQ(write.windowTitle().toStdString(), "書き込みする図面の選択");
  for (int id : {29008, 29010, 29006, 29007}) EXPECT_FALSE(Shown(write, id)) << id;
  EXPECT_TRUE(Shown(write, IDOK));
  EXPECT_FALSE(Enabled(write, 29019));

  FileDelDlg erase(&list_, nullptr, 0);
  Open(erase);
  EXPECT_EQ(erase.windowTitle().toStdString(), "削除するファイルの選択");
  for (int id : {29008, 29010, 29006, IDOK}) EXPECT_FALSE(Shown(erase, id)) << id;
  EXPECT_TRUE(Shown(erase, 29007));
  EXPECT_EQ(erase.GetDlgItem(29007)->geometry(), erase.GetDlgItem(IDOK)->geometry());
  EXPECT_TRUE(Enabled(erase, 29019));

  RestoreSelDlg restore(&list_, nullptr);
  Open(restore);
  EXPECT_EQ(restore.windowTitle().toStdString(), "復帰する図面の選択");
  for (int id : {29008, 29010, 29006, 29007}) EXPECT_FALSE(Shown(restore, id)) << id;
  EXPECT_TRUE(Shown(restore, 25000));
  EXPECT_TRUE(Enabled(restore, 25000));
  EXPECT_EQ(restore.Item<QLabel>(25000)->text().toStdString(), "「※」：自動バックアップ図面");
  EXPECT_FALSE(Enabled(restore, 29019));
}

TEST_F(FileDlgTest, BackupButtonStaysDisabledOnADrawingWithBackups) {
  std::string backup = first_;
  CreateBackupPath(store_.env(), backup, 1);
  StoreFixture::WriteDrawing(backup);
  FileSelDlg dialog(&list_, nullptr, 1, 1, nullptr, nullptr, nullptr, 0);
  Open(dialog);
  ASSERT_EQ(dialog.GetSheet()->GetRowMember(RowOf(dialog, 1))->path, first_);
  dialog.GetSheet()->JumpTo(RowOf(dialog, 3), 1);
  dialog.GetSheet()->JumpTo(RowOf(dialog, 1), 1);
  EXPECT_FALSE(Enabled(dialog, 29010));
}

TEST_F(FileDlgTest, OpenKindEndsWithTheMarkedDrawingsInMarkingOrder) {
  FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(dialog);
  MessageRecorder messages;
  FileSelSheet& sheet = *dialog.GetSheet();
  MarkRows(sheet, {RowOf(dialog, 3), RowOf(dialog, 1)});
  ClickControl(dialog, IDOK);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), IDOK);
  ASSERT_EQ(dialog.GetSelCount(), 2);
  EXPECT_EQ(dialog.GetSelectedMember(dialog.GetSelKeys()[0])->path, third_);
  EXPECT_EQ(dialog.GetSelectedMember(dialog.GetSelKeys()[1])->path, first_);
  EXPECT_EQ(dialog.GetPageNo(), -1);
  EXPECT_EQ(dialog.GetSelectSource(), 0);
}

TEST_F(FileDlgTest, ReturnOutsideTheOkButtonDoesNotConfirm) {
  FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(dialog);
  QWidget* combo = dialog.GetDlgItem(29019);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  // Return in the grid confirms, as a double click does.
  QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), IDOK);
}

TEST_F(FileDlgTest, OpenKindRefusals) {
  {  // No drawing at all: OK starts disabled; Return in the grid explains.
    VexaFolderList empty(store_.env());
    empty.Load(0x8, 0);
    FileSelDlg dialog(&empty, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    EXPECT_FALSE(Enabled(dialog, IDOK));
    MessageRecorder messages;
    QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "図面が有りません");
    EXPECT_EQ(messages.shown[0].title, "図面の選択");
    EXPECT_EQ(messages.shown[0].type, kRefusal);
    EXPECT_TRUE(dialog.isVisible());
  }
  {  // Page files only.
    FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    dialog.SetFlagWord(0x80);
    Open(dialog);
    MessageRecorder messages;
    ClickControl(dialog, IDOK);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ページファイルでしか選択できません");
    EXPECT_EQ(messages.shown[0].title, "図面の読み込み");
    EXPECT_EQ(messages.shown[0].type, kRefusal);
    EXPECT_TRUE(dialog.isVisible());
  }
}

TEST_F(FileDlgTest, LockedDrawingIsRefusedUnlessTheAlternateFlagIsSet) {
  test::LockHolder holder(store_.env(),
                          [&](VexaFolderLock& lock) { return lock.LockZmn(first_.c_str()) != 0; });
  ASSERT_TRUE(holder.ok());
  list_.Load(0x1, 0);
  {
    FileSelDlg dialog(&list_, nullptr, 1, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    ASSERT_EQ(dialog.GetSheet()->GetRowMember(RowOf(dialog, 1))->lockState, 1);
    MessageRecorder messages;
    ClickControl(dialog, IDOK);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "この図面はロックされています");
    EXPECT_EQ(messages.shown[0].title, "図面の読み込み");
    EXPECT_TRUE(dialog.isVisible());
    // Only the record under the cursor counts: a marked locked drawing elsewhere
    // does not stop the choice.
    dialog.GetSheet()->JumpTo(RowOf(dialog, 3), 1);
    MarkRows(*dialog.GetSheet(), {RowOf(dialog, 3), RowOf(dialog, 1)});
    ClickControl(dialog, IDOK);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(dialog.result(), IDOK);
  }
  {
    FileSelDlg dialog(&list_, nullptr, 1, 1, nullptr, nullptr, nullptr, 1);
    Open(dialog);
    MessageRecorder messages;
    ClickControl(dialog, IDOK);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialog.result(), IDOK);
  }
  {  // Restoring always refuses a locked drawing.
    RestoreSelDlg dialog(&list_, nullptr);
    Open(dialog);
    dialog.GetSheet()->JumpTo(RowOf(dialog, 1), 1);
    MessageRecorder messages;
    ClickControl(dialog, IDOK);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "この図面はロックされています");
    EXPECT_TRUE(dialog.isVisible());
  }
}

TEST_F(FileDlgTest, WriteKindAsksBeforeEachOverwrite) {
  const unsigned question = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;
  {  // Cancel at the second question keeps the dialog open.
    FileAddDlg dialog(&list_, nullptr, 0);
    Open(dialog);
    MarkRows(*dialog.GetSheet(), {RowOf(dialog, 3), RowOf(dialog, 2), RowOf(dialog, 1)});
    MessageRecorder messages({IDOK, IDCANCEL});
    ClickControl(dialog, IDOK);
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& shown : messages.shown) {
      EXPECT_EQ(shown.text, "上書きしますがよろしいですか？");
      EXPECT_EQ(shown.title, "書き込みする図面の選択");
      EXPECT_EQ(shown.type, question);
    }
    EXPECT_TRUE(dialog.isVisible());
    // Both answered OK: the free number 2 passes without a question.
    MessageRecorder again({IDOK, IDOK});
    ClickControl(dialog, IDOK);
    EXPECT_EQ(again.shown.size(), 2u);
    EXPECT_EQ(dialog.result(), IDOK);
    std::vector<int> keys = dialog.GetSelKeys();
    EXPECT_EQ(keys, (std::vector<int>{2, 1, 0}));  // drawing indexes, in marking order
    EXPECT_EQ(dialog.GetSelectedMember(1), nullptr);
  }
  {  // Free numbers only: no question at all.
    FileAddDlg dialog(&list_, nullptr, 0);
    Open(dialog);
    EXPECT_EQ(dialog.GetSheet()->GetRecCnt(), 4);
    MarkRows(*dialog.GetSheet(), {RowOf(dialog, 4), RowOf(dialog, 2)});
    MessageRecorder messages;
    ClickControl(dialog, IDOK);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialog.result(), IDOK);
  }
}

TEST_F(FileDlgTest, WriteKindRefusesALockedDrawingBeforeAnyQuestion) {
  test::LockHolder holder(store_.env(),
                          [&](VexaFolderLock& lock) { return lock.LockZmn(third_.c_str()) != 0; });
  ASSERT_TRUE(holder.ok());
  list_.Load(0x1, 0);
  FileAddDlg dialog(&list_, nullptr, 0);
  Open(dialog);
  MarkRows(*dialog.GetSheet(), {RowOf(dialog, 3), RowOf(dialog, 1)});
  MessageRecorder messages;
  ClickControl(dialog, IDOK);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "この図面はロックされています");
  EXPECT_EQ(messages.shown[0].title, "書き込みする図面の選択");
  EXPECT_EQ(messages.shown[0].type, kRefusal);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FileDlgTest, DeleteKindDoesNotEndOnReturnOrDoubleClick) {
  FileDelDlg dialog(&list_, nullptr, 0);
  Open(dialog);
  MessageRecorder messages;
  QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);
  FileSelSheet& sheet = *dialog.GetSheet();
  const QRect cell = sheet.visualRect(sheet.model()->index(0, 1));
  QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileDlgTest, SwitchButtonEndsTheDialogWithoutValidation) {
  FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  dialog.SetSwitchState(1);
  dialog.SetFlagWord(0x80);
  Open(dialog);
  MessageRecorder messages;
  ClickControl(dialog, 29073);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_EQ(dialog.GetSwitchState(), 2);
}

TEST_F(FileDlgTest, ApplicationFilterListsTheApplicationsWithDrawings) {
  FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(dialog);
  auto* combo = dialog.Item<QComboBox>(29019);
  ASSERT_EQ(combo->count(), 3);  // general, survey, all
  EXPECT_EQ(combo->itemData(0).toInt(), 0x1);
  EXPECT_EQ(combo->itemData(1).toInt(), 0x4);
  EXPECT_EQ(combo->itemData(2).toInt(), -1);
  EXPECT_EQ(combo->itemText(2).toStdString(), " 全    て ");
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_EQ(dialog.GetSheet()->GetRecCnt(), 2);

  // Choosing another application reloads the list for it.
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(list_.GetAppType(), 0x4);
  EXPECT_EQ(dialog.GetSheet()->GetRecCnt(), 1);
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(list_.GetAppType(), -1);
  EXPECT_EQ(dialog.GetSheet()->GetRecCnt(), 3);

  // A list loaded for an application the combo does not offer shows "全て".
  VexaFolderList other(store_.env());
  other.Load(0x8, 0);
  FileSelDlg none(&other, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  Open(none);
  EXPECT_EQ(none.Item<QComboBox>(29019)->currentIndex(), 2);
}

TEST_F(FileDlgTest, LayoutFollowsTheWindowAndKeepsTheToolbarVisible) {
  {
    FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
    Open(dialog);
    dialog.resize(1000, 640);
    const QRect panel = dialog.GetInfoPanel()->geometry();
    EXPECT_EQ(panel.x() + panel.width(), 1000 - 10);
    // 100 pixels below the window's top, which lies a title bar above.
    EXPECT_EQ(panel.y(), 100 - dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QRect sheet = dialog.GetSheet()->geometry();
    EXPECT_EQ(sheet.x() + sheet.width(), panel.x() - 10);
    EXPECT_EQ(sheet.y() + sheet.height(), 640 - 5);
    EXPECT_EQ(dialog.GetLastSizeX(), 1000);
    EXPECT_EQ(dialog.GetLastSizeY(), 640);

    // Narrowing stops where the print button would be cut off.
    const QRect print = dialog.GetDlgItem(29072)->geometry();
    EXPECT_EQ(dialog.minimumWidth(), print.x() + print.width());
    dialog.resize(100, 300);
    EXPECT_EQ(dialog.width(), print.x() + print.width());
    EXPECT_EQ(dialog.height(), 300);
    dialog.resize(900, 600);
  }
  // The last size was stored and is where the next dialog opens.
  std::string stored;
  ASSERT_TRUE(store_.env().GetUserDataStr("VEXA", "FILEDLG", "LASTSIZE_X", stored));
  EXPECT_EQ(stored, "900");
  FileSelDlg next(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  next.InitDialog();
  EXPECT_EQ(next.size(), QSize(900, 600));
  EXPECT_EQ(next.GetInfoPanel()->geometry().right() + 1, 900 - 10);
}

}  // namespace
}  // namespace vexa
