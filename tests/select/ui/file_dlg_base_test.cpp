// The selection dialog frame: what each kind shows, what confirming accepts
// and refuses (with the exact messages), and the layout when the window is
// resized.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/file_info_dlg.h"

namespace vexa::test {
namespace {

constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;
const char* const kLocked = "この図面はロックされています";

bool Shown(DialogBase& dialog, int id) {
  return !dialog.GetDlgItem(id)->isHidden();
}

using Texts = std::vector<std::string>;

class FileDlgTest : public ::testing::Test {
 protected:
  // Drawings 1 and 3 of the general application, 2 of the survey one.
  void SetUp() override {
    first_ = store_.WriteAppDrawing(0x1, 1);
    store_.WriteAppDrawing(0x1, 3);
    store_.WriteAppDrawing(0x4, 2);
    list_.Load(0x1, 0);
  }
  // Initialises and shows a dialog without a modal loop.
  static void Open(FileDlgBase& dialog) {
    dialog.InitDialog();
    dialog.show();
  }
  static std::unique_ptr<FileSelDlg> OpenSelect(VexaFolderList& list, int start = 0) {
    auto dialog =
        std::make_unique<FileSelDlg>(&list, nullptr, start, 1, nullptr, nullptr, nullptr, 0);
    Open(*dialog);
    return dialog;
  }

  StoreFixture store_;
  std::string first_;
  VexaFolderList list_{store_.env()};
};

TEST_F(FileDlgTest, EachKindHasItsCaptionAndHidesItsControls) {
  CFormPathList forms;
  CJknMan conditions;
  FileSelDlg select(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  FileSelDlg alternate(&list_, nullptr, 0, 1, &forms, &conditions, nullptr, 1);
  // The print button needs both the form folders and the conditions.
  FileSelDlg formsOnly(&list_, nullptr, 0, 1, &forms, nullptr, nullptr, 0);
  FileSelDlg conditionsOnly(&list_, nullptr, 0, 1, nullptr, &conditions, nullptr, 0);
  alternate.SetSwitchState(1);
  FileAddDlg write(&list_, nullptr, 0);
  FileDelDlg erase(&list_, nullptr, 0);
  RestoreSelDlg restore(&list_, nullptr);
  struct Case {
    FileDlgBase* dialog;
    const char* caption;
    std::vector<int> shown, hidden;
  };
  const Case cases[] = {
      {&select,
       "編集する図面の選択",
       {kIdPageList, kIdDelete, kIdRestore, kIdBackup, IDOK},
       {kIdSwitch, kIdPrint, kIdBackupLegend}},
      {&alternate, "図面選択", {kIdSwitch, kIdPrint}, {}},
      {&formsOnly, "編集する図面の選択", {}, {kIdPrint}},
      {&conditionsOnly, "編集する図面の選択", {}, {kIdPrint}},
      {&write, "書き込みする図面の選択", {IDOK}, {kIdPageList, kIdDelete, kIdRestore, kIdBackup}},
      {&erase, "削除するファイルの選択", {kIdDelete}, {kIdPageList, kIdRestore, kIdBackup, IDOK}},
      {&restore,
       "復帰する図面の選択",
       {kIdBackupLegend},
       {kIdPageList, kIdDelete, kIdRestore, kIdBackup}},
  };
  for (const Case& c : cases) {
    Open(*c.dialog);
    EXPECT_EQ(c.dialog->windowTitle().toStdString(), c.caption);
    for (int id : c.shown) EXPECT_TRUE(Shown(*c.dialog, id)) << c.caption << " " << id;
    for (int id : c.hidden) EXPECT_FALSE(Shown(*c.dialog, id)) << c.caption << " " << id;
  }
  EXPECT_EQ(erase.GetDlgItem(kIdDelete)->geometry(), erase.GetDlgItem(IDOK)->geometry());
  EXPECT_EQ(restore.Item<QLabel>(kIdBackupLegend)->text().toStdString(),
            "「※」：自動バックアップ図面");
}

TEST_F(FileDlgTest, EveryToolbarButtonShowsItsHint) {
  CFormPathList forms;
  CJknMan conditions;
  FileSelDlg dialog(&list_, nullptr, 0, 1, &forms, &conditions, nullptr, 0);
  dialog.SetSwitchState(1);
  Open(dialog);
  const std::pair<int, const char*> hints[] = {
      {kIdPageList, "ﾍﾟｰｼﾞ一覧"},  {kIdDelete, "ファイルの削除"},
      {kIdRestore, "図面の復帰"},  {kIdBackup, "ﾊﾞｯｸｱｯﾌﾟからの復帰"},
      {kIdSearch, "検索"},         {kIdClearSearch, "検索解除"},
      {kIdSwitch, "図面管理切替"}, {kIdDisplayItems, "表示切替"},
      {kIdPrint, "図面一覧印刷"},
  };
  for (const auto& [id, hint] : hints) {
    auto* button = dialog.Item<BitButton>(id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->toolTip().toStdString(), hint) << id;
  }
}

TEST_F(FileDlgTest, OpenKindRefusesAnEmptyListAndPageFilesOnly) {
  VexaFolderList empty(store_.env());
  empty.Load(0x8, 0);
  const auto none = OpenSelect(empty);
  EXPECT_FALSE(none->GetDlgItem(IDOK)->isEnabled());
  MessageRecorder messages;
  QTest::keyClick(none->GetSheet(), Qt::Key_Return);
  EXPECT_EQ(messages.Described(), Texts{"図面の選択/図面が有りません/" + std::to_string(kRefusal)});
  EXPECT_TRUE(none->isVisible());

  FileSelDlg pagesOnly(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  pagesOnly.SetFlagWord(0x80);
  Open(pagesOnly);
  MessageRecorder pageMessages;
  ClickControl(pagesOnly, IDOK);
  EXPECT_EQ(pageMessages.Described(),
            Texts{"図面の読み込み/ページファイルでしか選択できません/" + std::to_string(kRefusal)});
  EXPECT_TRUE(pagesOnly.isVisible());
}

TEST_F(FileDlgTest, DrawingLockedByAnotherProcessIsRefusedUnlessTheAlternateFlagIsSet) {
  HoldingChild holder(LockDrawing(store_.env(), first_));
  ASSERT_TRUE(holder.holding());
  list_.Load(0x1, 0);
  const std::string refusal = std::string(kLocked) + "/" + std::to_string(kRefusal);
  {
    const auto dialog = OpenSelect(list_, 1);
    MessageRecorder messages;
    ConfirmDrawings(*dialog, {1});
    EXPECT_EQ(messages.Described(), Texts{"図面の読み込み/" + refusal});
    EXPECT_TRUE(dialog->isVisible());
    // Only the record under the cursor counts.
    ConfirmDrawings(*dialog, {3, 1});
    EXPECT_EQ(dialog->result(), IDOK);
  }
  {
    FileSelDlg dialog(&list_, nullptr, 1, 1, nullptr, nullptr, nullptr, 1);
    Open(dialog);
    ConfirmDrawings(dialog, {1});
    EXPECT_EQ(dialog.result(), IDOK);
  }
  {  // Writing always refuses it, before any overwrite question.
    FileAddDlg write(&list_, nullptr, 0);
    Open(write);
    MessageRecorder messages;
    ConfirmDrawings(write, {1, 3});
    EXPECT_EQ(messages.Described(), Texts{"書き込みする図面の選択/" + refusal});
    EXPECT_TRUE(write.isVisible());
  }
}

TEST_F(FileDlgTest, ApplicationComboListsApplicationsWithDrawingsAndReloadsOnAChoice) {
  auto contents = [](FileDlgBase& dialog) {
    auto* combo = dialog.Item<QComboBox>(kIdAppCombo);
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i) {
      items.push_back(combo->itemText(i).toStdString() + "=" +
                      std::to_string(combo->itemData(i).toInt()));
    }
    return std::make_pair(items, combo->currentIndex());
  };
  // Applications without drawings are left out; "全て" is always there.
  const std::vector<std::string> items = {" 汎    用 =1", " 用    地 =4", " 全    て =-1"};
  const auto general = OpenSelect(list_);
  EXPECT_EQ(contents(*general), std::make_pair(items, 0));

  // An application the combo does not list selects "全て".
  VexaFolderList roads(store_.env());
  roads.Load(0x8, 0);
  EXPECT_EQ(contents(*OpenSelect(roads)), std::make_pair(items, 2));

  // Choosing another application reloads the list and the grid shows it.
  auto* combo = general->Item<QComboBox>(kIdAppCombo);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(list_.GetAppType(), 0x4);
  FileSelSheet& sheet = *general->GetSheet();
  ASSERT_EQ(sheet.GetRecCnt(), 1);
  EXPECT_EQ(sheet.GetRowMember(0)->appId, 0x4);
  EXPECT_EQ(general->GetInfoPanel()->GetMember(), sheet.GetRowMember(0));
}

TEST_F(FileDlgTest, CancellingAnOverwriteQuestionKeepsTheWriteDialogOpen) {
  FileAddDlg dialog(&list_, nullptr, 0);
  Open(dialog);
  MessageRecorder messages({IDOK, IDCANCEL});
  ConfirmDrawings(dialog, {3, 2, 1});
  ASSERT_EQ(messages.shown.size(), 2u);  // Cancel at the second keeps the dialog open
  EXPECT_EQ(messages.Described()[1],
            "書き込みする図面の選択/上書きしますがよろしいですか？/" +
                std::to_string(MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FileDlgTest, DateFieldsShowTheirWholeTextInEachLocaleAndFieldsShowTheirStartUnfocused) {
  DrawingSpec late;
  late.title = "第三工区 道路改良工事 計画平面図 その二十三 (修正版)";
  late.created = late.updated = 1703775538;  // 2023-12-28 23:58:58 in Tokyo
  store_.WriteAppDrawing(0x1, 5, late);
  list_.Load(0x1, 0);
  const std::string kept = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
  for (const char* locale : {"ja_JP.UTF-8", "en_US.UTF-8"}) {
    SCOPED_TRACE(locale);
    setenv("LC_ALL", locale, 1);
    const auto dialog = OpenSelect(list_, 5);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    FileInfoDlg& panel = *dialog->GetInfoPanel();
    // Nothing of a date field's text lies past its right edge.
    for (int id : {kIdInfoCreated, kIdInfoUpdated}) {
      auto* field = panel.Item<QLineEdit>(id);
      const QString text = field->text();
      EXPECT_TRUE(text.contains("23:58:58") || text.contains("11:58:58")) << text.toStdString();
      EXPECT_EQ(field->cursorPositionAt(QPoint(field->width() - 5, field->height() / 2)),
                text.size())
          << text.toStdString();
    }
    EXPECT_EQ(panel.Item<QLineEdit>(kIdInfoUpdated)->text().contains("PM"),
              std::string(locale) == "en_US.UTF-8");

    // Tab into the long name selects it and scrolls to its end; once the
    // focus leaves, the name shows from its start again.
    auto* name = panel.Item<QLineEdit>(kIdInfoName);
    name->setFocus(Qt::TabFocusReason);
    ASSERT_GT(name->cursorPosition(), 0);
    dialog->GetSheet()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(name->cursorPosition(), 0);
    EXPECT_FALSE(name->hasSelectedText());
    EXPECT_EQ(name->cursorPositionAt(QPoint(5, name->height() / 2)), 0);
  }
  setenv("LC_ALL", kept.c_str(), 1);
}

TEST_F(FileDlgTest, LayoutFollowsTheWindowKeepsTheToolbarAndStoresTheSize) {
  {
    const auto dialog = OpenSelect(list_);
    dialog->resize(1000, 640);
    const QRect panel = dialog->GetInfoPanel()->geometry();
    EXPECT_EQ(panel.x() + panel.width(), 1000 - 10);
    // 100 pixels below the window's top, which lies a title bar above.
    EXPECT_EQ(panel.y(), 100 - dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QRect sheet = dialog->GetSheet()->geometry();
    EXPECT_EQ(sheet.x() + sheet.width(), panel.x() - 10);
    EXPECT_EQ(sheet.y() + sheet.height(), 640 - 5);

    // The smallest window keeps the whole toolbar (up to the print button),
    // the whole info panel and a grid of a few columns and records.
    const QRect print = dialog->GetDlgItem(kIdPrint)->geometry();
    dialog->resize(100, 100);
    EXPECT_GE(dialog->width(), print.x() + print.width());
    EXPECT_TRUE(dialog->rect().contains(dialog->GetInfoPanel()->geometry()));
    EXPECT_GE(dialog->GetSheet()->width(), 240);
    EXPECT_GE(dialog->GetSheet()->height(), 120);
    dialog->resize(900, 700);
  }
  // The last size was stored and is where the next dialog opens.
  FileSelDlg next(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  next.InitDialog();
  EXPECT_EQ(next.size(), QSize(900, 700));
  EXPECT_EQ(next.GetInfoPanel()->geometry().right() + 1, 900 - 10);
}

// The panel's place is a client coordinate of its own: another style, with a
// title bar of another height, or a window manager's frame leave it where it
// is offscreen.
TEST_F(FileDlgTest, TheInfoPanelKeepsItsPlaceWhateverTheStyle) {
  std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
  ASSERT_NE(windows, nullptr);
  FileSelDlg dialog(&list_, nullptr, 0, 1, nullptr, nullptr, nullptr, 0);
  dialog.setStyle(windows.get());
  ASSERT_NE(dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog), 24);
  Open(dialog);
  dialog.resize(1000, 640);
  EXPECT_EQ(dialog.GetInfoPanel()->geometry().y(), 100 - 24);
}

TEST_F(FileDlgTest, TheNameColumnTakesTheFreeWidthAndDraggedWidthsAreKeptBetweenRuns) {
  // Enough drawings for a vertical scroll bar, which takes its part of the width.
  for (int number = 10; number < 50; ++number) store_.WriteAppDrawing(0x1, number);
  list_.Load(0x1, 0);
  {
    const auto dialog = OpenSelect(list_);  // the template's size
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QCoreApplication::processEvents();
    QHeaderView* header = dialog->GetSheet()->horizontalHeader();
    EXPECT_TRUE(dialog->GetSheet()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(dialog->GetSheet()->horizontalScrollBar()->isVisible());
    EXPECT_EQ(header->length(), dialog->GetSheet()->viewport()->width());
    const int name = header->sectionSize(1);
    dialog->resize(dialog->width() + 200, dialog->height());
    EXPECT_EQ(header->sectionSize(1), name + 200);
    header->resizeSection(4, 150);  // "変更日", dragged
    dialog->resize(dialog->width() - 100, dialog->height());
    EXPECT_EQ(header->sectionSize(4), 150);
    EXPECT_EQ(header->length(), dialog->GetSheet()->viewport()->width());
  }
  std::string stored;
  EXPECT_TRUE(store_.env().GetUserDataStr("VEXA", "FILEDLG", "COLWIDTH7", stored));
  EXPECT_EQ(stored, "150");
  EXPECT_FALSE(store_.env().GetUserDataStr("VEXA", "FILEDLG", "COLWIDTH1", stored));
  const auto next = OpenSelect(list_);
  EXPECT_EQ(next->GetSheet()->horizontalHeader()->sectionSize(4), 150);
}

}  // namespace
}  // namespace vexa::test
