// Records of the drawing grid: the number column's backup marks, the free
// numbers of the write kind, lock colours, search filters, the record found
// for the initial number, and confirming with Return or a double click.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "tests/file/child_process.h"
#include "tests/select_ui/grid_fixture.h"
#include "vexafol/folderlock.h"

namespace vexa::test {
namespace {

class SheetRows : public testing::Test, public GridFixture {
 protected:
  static DrawingSpec Titled(const std::string& title, int64_t updated = 1700000000) {
    DrawingSpec spec;
    spec.title = title;
    spec.updated = updated;
    return spec;
  }
  static void Open(FileSelSheet& sheet, VexaFolderList& list, int initialNo = 0) {
    sheet.resize(800, 400);
    sheet.Init(&list, nullptr, kDefaultItems.data(), 5, initialNo);
  }
};

TEST_F(SheetRows, BackupFoldersShowTheirMarks) {
  const std::string drawing = Drawing(7, Titled("本体"));
  StoreFixture::WriteDrawing(drawing + "/BKUP.003", Titled("履歴"));
  VexaFolderList& list = Load();
  list.SetBackupPath(0);  // the record now stands for the automatic backup
  FileSelSheet automatic{FindCriteria{}};
  Open(automatic, list);
  EXPECT_EQ(ColumnTexts(automatic, 0), (std::vector<std::string>{"※7"}));

  VexaFolderList history(env());
  history.SetLoadPath(drawing);
  history.Load(kApp, VexaFolderList::kLoadBackups);
  ASSERT_EQ(history.GetFolderNum(), 1);
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, history);
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"履歴3"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), (std::vector<std::string>{"履歴"}));
}

TEST_F(SheetRows, CellsShowTheHeaderAndApplicationTitle) {
  DrawingSpec spec = Titled("計画平面図");
  spec.memo = "一行目\r\n二行目";
  spec.pages = 12;
  Drawing(4, spec);
  FileSelSheet sheet{FindCriteria{}};
  sheet.resize(800, 400);
  const std::vector<int> items = {0, 1, 2, 3, 4, 5, 8};
  sheet.Init(&Load(), nullptr, items.data(), 7, 0);
  std::vector<std::string> row;
  for (int col = 0; col < 7; ++col) row.push_back(ColumnTexts(sheet, col)[0]);
  EXPECT_EQ(row, (std::vector<std::string>{"4", "計画平面図", "用地", "12", "山田", "田中",
                                           "一行目 二行目"}));
}

TEST_F(SheetRows, WriteKindOnAnEmptyListOffersNumberOne) {
  FileAddSheet sheet{FindCriteria{}};
  Open(sheet, Load());
  EXPECT_EQ(sheet.CountMembers(), 1);
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"1"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), (std::vector<std::string>{"新　規　書　込"}));
  EXPECT_EQ(sheet.GetMember(0), nullptr);
}

TEST_F(SheetRows, WriteKindListsDrawingsThenFreeNumbers) {
  Drawing(1, Titled("一", 1700000100));
  Drawing(3, Titled("三", 1700000200));
  FileAddSheet sheet{FindCriteria{}};
  Open(sheet, Load());  // newest first: 3, then 1
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "1", "2", "4"}));
  EXPECT_EQ(ColumnTexts(sheet, 1),
            (std::vector<std::string>{"三", "一", "新　規　書　込", "新　規　書　込"}));
  EXPECT_EQ(sheet.GetRowKey(2), 1);  // keys are drawing indexes

  FindCriteria numbers;
  numbers.useNo = 1;
  numbers.noFrom = 1;
  numbers.noTo = 4;
  ASSERT_TRUE(sheet.ApplySearch(numbers));  // free numbers never match
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "1"}));
  sheet.ClearSearch();

  SetUserValue("SORTTYPE", "6");
  SetUserValue("SORTDIR", "1");
  FileAddSheet byNumber{FindCriteria{}};
  Open(byNumber, list());
  EXPECT_EQ(ColumnTexts(byNumber, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(byNumber.FindRecord(1, 0), 1);  // a free number matches on its index alone
}

TEST_F(SheetRows, WriteKindNeverOffersANumberPast999) {
  Drawing(998);
  Drawing(999);
  FileAddSheet sheet{FindCriteria{}};
  Open(sheet, Load());
  EXPECT_EQ(sheet.GetRecCnt(), 999);
  const std::vector<std::string> numbers = ColumnTexts(sheet, 0);
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), "1000"), 0);
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), "999"), 1);
}

TEST_F(SheetRows, LockedDrawingsArePaintedRed) {
  const std::string locked = Drawing(1);
  Drawing(2);
  // Another process holds the drawing until the test lets it go.
  Signal held, release;
  ChildProcess holder([&] {
    release.CloseGiving();
    VexaFolderLock lock(&env());
    if (!lock.LockZmn(locked.c_str())) return 1;
    held.Give();
    release.Take();
    return 0;
  });
  held.CloseGiving();
  ASSERT_TRUE(held.Take());
  FileSelSheet sheet{FindCriteria{}};
  SetUserValue("SORTTYPE", "6");
  SetUserValue("SORTDIR", "1");
  Open(sheet, Load(kApp, 0));
  const QColor red(255, 0, 0);
  EXPECT_EQ(sheet.model()->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), red);
  EXPECT_FALSE(sheet.model()->index(1, 1).data(Qt::BackgroundRole).isValid());
  release.Give();
  EXPECT_EQ(holder.Wait(), 0);
}

TEST_F(SheetRows, SearchFiltersAndAMissKeepsEverything) {
  Drawing(1, Titled("道路平面図", 1700000300));
  Drawing(2, Titled("横断図", 1700000200));
  Drawing(3, Titled("道路縦断図", 1700000100));
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, Load());
  sheet.JumpTo(2, 0);

  FindCriteria nothing;
  nothing.useName = 1;
  nothing.name = "橋梁";
  EXPECT_FALSE(sheet.ApplySearch(nothing));
  EXPECT_EQ(sheet.GetRecCnt(), 3);
  EXPECT_FALSE(sheet.IsSearching());
  EXPECT_EQ(sheet.GetCriteria().name, "橋梁");  // kept for the next search dialog

  FindCriteria road;
  road.useName = 1;
  road.name = "道路";
  ASSERT_TRUE(sheet.ApplySearch(road));
  EXPECT_TRUE(sheet.IsSearching());
  EXPECT_EQ(ColumnTexts(sheet, 1), (std::vector<std::string>{"道路平面図", "道路縦断図"}));
  int row = -1, col = -1;
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, 0);  // record 2 is gone
  EXPECT_EQ(col, 1);
  EXPECT_EQ(sheet.GetRowKey(1), 2);

  sheet.JumpTo(1, 1);
  sheet.ClearSearch();
  EXPECT_FALSE(sheet.IsSearching());
  EXPECT_EQ(sheet.GetRecCnt(), 3);
  sheet.GetEditPos(&row, nullptr);
  EXPECT_EQ(row, 1);
}

TEST_F(SheetRows, InitialNumberPutsTheCursorOnItsDrawing) {
  Drawing(5, Titled("五", 1700000100));
  Drawing(9, Titled("九", 1700000200));
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, Load(), 5);
  int row = -1, col = -1;
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(sheet.GetRowMember(row)->header.Title(), "五");
  EXPECT_EQ(sheet.FindRecord(8, kApp), 0);
  EXPECT_EQ(sheet.FindRecord(8, 0x1), -1);  // the application must match exactly
  EXPECT_EQ(sheet.FindRecord(-1, kApp), -1);

  FileSelSheet unknown{FindCriteria{}};
  Open(unknown, list(), 6);
  unknown.GetEditPos(&row, nullptr);
  EXPECT_EQ(row, 0);
}

TEST_F(SheetRows, ReturnAndDoubleClickAskTheDialogToConfirm) {
  Drawing(1);
  Drawing(2);
  QWidget dialog;
  auto* ok = new QPushButton("OK", &dialog);
  ok->setObjectName("1");
  auto* sheet = new FileSelSheet(FindCriteria{}, &dialog);
  sheet->setGeometry(0, 30, 600, 300);
  dialog.resize(600, 340);
  dialog.show();
  Open(*sheet, Load());
  QSignalSpy confirms(sheet, &FileSelSheet::confirmRequested);

  sheet->setFocus();
  QTest::keyClick(sheet, Qt::Key_Return);
  EXPECT_EQ(confirms.count(), 1);
  EXPECT_EQ(dialog.focusWidget(), ok);

  const QRect cell = sheet->visualRect(sheet->model()->index(1, 1));
  QTest::mouseDClick(sheet->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(confirms.count(), 2);

  sheet->setFocus();
  QTest::keyClick(sheet, Qt::Key_Up);  // other keys move the cursor as usual
  EXPECT_EQ(confirms.count(), 2);
  EXPECT_EQ(sheet->GetCurrentKey(), 0);
}

}  // namespace
}  // namespace vexa::test

namespace vexa::test {
namespace {

TEST_F(SheetRows, RelayingOutKeepsCursorMarksAndTheVisibleRange) {
  for (int n = 1; n <= 40; ++n) Drawing(n);
  QWidget dialog;
  auto* sheet = new FileSelSheet(FindCriteria{}, &dialog);
  dialog.resize(800, 600);
  dialog.show();
  sheet->RecalcFrame(QRect(5, 40, 600, 550));
  Open(*sheet, Load());
  sheet->JumpTo(3, 1);
  sheet->selectionModel()->select(sheet->model()->index(5, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  const int tallBottom = sheet->GetPageBot();

  // The dialog shrinks: the grid gets a smaller rectangle and its columns anew.
  sheet->RecalcFrame(QRect(5, 40, 300, 200));
  sheet->SetupColumns(kDefaultItems.data(), 5, 1);
  EXPECT_EQ(sheet->geometry(), QRect(5, 40, 300, 200));
  EXPECT_LT(sheet->GetPageBot(), tallBottom);
  EXPECT_EQ(sheet->GetCurrentKey(), 3);
  EXPECT_EQ(sheet->GetMarkRecOrder(), (std::vector<int>{3, 5}));
  EXPECT_EQ(sheet->GetHeaderText(4), "変更日(↑)");
}

}  // namespace
}  // namespace vexa::test
