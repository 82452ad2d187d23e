// Records of the drawing grid: the free numbers of the write kind and the
// record found for the initial number.
#include <gtest/gtest.h>

#include "tests/select/ui/grid_fixture.h"

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

  Drawing(998);
  Drawing(999);
  FileAddSheet full{FindCriteria{}};
  Open(full, Load());
  EXPECT_EQ(full.GetRecCnt(), 999);  // 4 drawings and 995 free numbers, none past 999
  EXPECT_EQ(ColumnTexts(full, 0).back(), "997");
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

}  // namespace
}  // namespace vexa::test
