// Records of the drawing grid: the number column's backup marks, the free
// numbers of the write kind, lock colours, the record found for the initial
// number, and relaying out.
#include <gtest/gtest.h>

#include "tests/dialogs/dialog_driver.h"
#include "tests/select_ui/grid_fixture.h"

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
  static void Open(FileSelSheet& sheet, VexaFolderList& list, int initialNo = 0,
                   const std::vector<int>& items = kDefaultItems) {
    sheet.resize(800, 400);
    sheet.Init(&list, nullptr, items.data(), static_cast<int>(items.size()), initialNo);
  }
  static int Row(const FileSelSheet& sheet) {
    int row = -1;
    sheet.GetEditPos(&row, nullptr);
    return row;
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
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, history);
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"履歴3"}));
}

TEST_F(SheetRows, WriteKindListsDrawingsThenFreeNumbersUpTo999) {
  FileAddSheet empty{FindCriteria{}};
  Open(empty, Load());
  EXPECT_EQ(ColumnTexts(empty, 0), (std::vector<std::string>{"1"}));
  EXPECT_EQ(empty.GetMember(0), nullptr);

  Drawing(1, Titled("一", 1700000100));
  Drawing(3, Titled("三", 1700000200));
  FileAddSheet sheet{FindCriteria{}};
  Open(sheet, Load());  // newest first: 3, then 1
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "1", "2", "4"}));
  EXPECT_EQ(ColumnTexts(sheet, 1),
            (std::vector<std::string>{"三", "一", "新　規　書　込", "新　規　書　込"}));
  EXPECT_EQ(sheet.GetRowKey(2), 1);      // keys are drawing indexes
  EXPECT_EQ(sheet.FindRecord(1, 0), 2);  // a free number matches on its index alone

  FindCriteria numbers;
  numbers.useNo = 1;
  numbers.noFrom = 1;
  numbers.noTo = 4;
  ASSERT_TRUE(sheet.ApplySearch(numbers));  // free numbers never match
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "1"}));

  Drawing(998);
  Drawing(999);
  FileAddSheet full{FindCriteria{}};
  Open(full, Load());
  EXPECT_EQ(full.GetRecCnt(), 999);  // 4 drawings and 995 free numbers, none past 999
  EXPECT_EQ(ColumnTexts(full, 0).back(), "997");
}

TEST_F(SheetRows, DrawingsLockedByAnotherProcessArePaintedRed) {
  const std::string locked = Drawing(1);
  Drawing(2);
  HoldingChild holder(LockDrawing(env(), locked));
  ASSERT_TRUE(holder.holding());
  SetUserValue("SORTTYPE", "6");
  SetUserValue("SORTDIR", "1");
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, Load(kApp, 0));
  EXPECT_EQ(sheet.model()->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
            QColor(255, 0, 0));
  EXPECT_FALSE(sheet.model()->index(1, 1).data(Qt::BackgroundRole).isValid());
}

TEST_F(SheetRows, InitialNumberPutsTheCursorOnItsDrawingAndCellsShowTheHeader) {
  DrawingSpec spec = Titled("五", 1700000100);
  spec.memo = "一行目\r\n二行目";
  spec.pages = 12;
  Drawing(5, spec);
  Drawing(9, Titled("九", 1700000200));
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, Load(), 5, {0, 1, 2, 3, 4, 5, 8});
  EXPECT_EQ(Row(sheet), 1);
  std::vector<std::string> row;
  for (int col = 0; col < 7; ++col) row.push_back(ColumnTexts(sheet, col)[1]);
  EXPECT_EQ(row,
            (std::vector<std::string>{"5", "五", "用地", "12", "山田", "田中", "一行目 二行目"}));
  EXPECT_EQ(sheet.FindRecord(8, kApp), 0);
  EXPECT_EQ(sheet.FindRecord(8, 0x1), -1);  // the application must match exactly

  FileSelSheet unknown{FindCriteria{}};
  Open(unknown, list(), 6);
  EXPECT_EQ(Row(unknown), 0);
}

TEST_F(SheetRows, RelayingOutKeepsCursorMarksAndTheSortArrow) {
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
