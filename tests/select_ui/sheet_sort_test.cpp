// Sorting the drawing grid by its column headers: arrows in the header texts,
// the order of the records, and the sort kept in the user settings.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "tests/select_ui/grid_fixture.h"

namespace vexa::test {
namespace {

class SheetSort : public testing::Test, public GridFixture {
 protected:
  static DrawingSpec Spec(const std::string& title, int64_t updated, int pages) {
    DrawingSpec spec;
    spec.title = title;
    spec.updated = updated;
    spec.pages = pages;
    return spec;
  }
  SheetSort() {
    // Numbers, update times and page counts in three different orders.
    Drawing(1, Spec("あ", 1700000300, 2));
    Drawing(2, Spec("い", 1700000100, 3));
    Drawing(3, Spec("う", 1700000200, 1));
    Load();
  }

  void Open(FileSelSheet& sheet, const std::vector<int>& items = kDefaultItems) {
    sheet.resize(800, 300);
    sheet.Init(&list(), nullptr, items.data(), static_cast<int>(items.size()), 0);
  }
  static void ClickHeader(FileSelSheet& sheet, int col) {
    QHeaderView* header = sheet.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }
  static std::vector<std::string> Headers(const FileSelSheet& sheet) {
    std::vector<std::string> headers;
    for (int col = 0; col < sheet.model()->columnCount(); ++col) {
      headers.push_back(sheet.GetHeaderText(col));
    }
    return headers;
  }
};

TEST_F(SheetSort, WithoutStoredSortOpensNewestFirstAndStoresIt) {
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);
  EXPECT_EQ(sheet.GetSortType(), 5);
  EXPECT_EQ(sheet.GetSortDir(), -1);
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"No", "図面名", "CAD", "PAGE", "変更日(↑)"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), (std::vector<std::string>{"あ", "う", "い"}));
  EXPECT_EQ(UserValue("SORTTYPE"), "5");
  EXPECT_EQ(UserValue("SORTDIR"), "-1");
  int row = -1, col = -1;
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, 0);
  EXPECT_EQ(col, 1);
}

TEST_F(SheetSort, HeaderClicksStartAscendingAndReverseOnTheSameColumn) {
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);

  ClickHeader(sheet, 0);  // No: 5 - 2 bytes leaves no room for brackets
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"No↓", "図面名", "CAD", "PAGE", "変更日"}));
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(UserValue("SORTTYPE"), "6");
  EXPECT_EQ(UserValue("SORTDIR"), "1");
  EXPECT_EQ(list().GetSortType(), 6);

  ClickHeader(sheet, 0);
  EXPECT_EQ(sheet.GetHeaderText(0), "No↑");
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "2", "1"}));
  EXPECT_EQ(UserValue("SORTDIR"), "-1");

  ClickHeader(sheet, 3);  // PAGE: another column starts ascending again
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"No", "図面名", "CAD", "PAGE↓", "変更日"}));
  EXPECT_EQ(ColumnTexts(sheet, 3), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(sheet.GetSortDir(), 1);

  ClickHeader(sheet, 1);  // the name column is wide enough for brackets
  EXPECT_EQ(sheet.GetHeaderText(1), "図面名(↓)");
  EXPECT_EQ(sheet.GetHeaderText(3), "PAGE");
}

TEST_F(SheetSort, TheMemoColumnIsNotSortable) {
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet, {0, 1, 8, 7});
  const std::vector<std::string> before = ColumnTexts(sheet, 1);
  ClickHeader(sheet, 2);
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"No", "図面名", "メモ", "変更日(↑)"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), before);
  EXPECT_EQ(sheet.GetSortType(), 5);
  EXPECT_EQ(sheet.GetSortDir(), -1);
}

TEST_F(SheetSort, StoredSortIsRestoredAndSurvivesRebuildingTheColumns) {
  SetUserValue("SORTTYPE", "8");
  SetUserValue("SORTDIR", "-1");
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);
  EXPECT_EQ(sheet.GetHeaderText(3), "PAGE↑");
  EXPECT_EQ(ColumnTexts(sheet, 3), (std::vector<std::string>{"3", "2", "1"}));
  EXPECT_EQ(list().GetSortType(), 8);
  EXPECT_EQ(list().GetSortDir(), -1);

  // The dialog rebuilds the columns on every resize; the arrow stays.
  const std::vector<int> items = {7, 3, 1};
  sheet.SetupColumns(items.data(), 3, 0);
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"変更日", "PAGE↑", "図面名"}));
}

TEST_F(SheetSort, StoredSortTypeZeroKeepsCreationOrderWithoutArrows) {
  SetUserValue("SORTTYPE", "0");
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);
  EXPECT_EQ(Headers(sheet), (std::vector<std::string>{"No", "図面名", "CAD", "PAGE", "変更日"}));
  EXPECT_EQ(list().GetSortType(), 0);
}

TEST_F(SheetSort, SortingKeepsTheSearchFilter) {
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);
  FindCriteria criteria;
  criteria.useNo = 1;
  criteria.noFrom = 2;
  criteria.noTo = 3;
  ASSERT_TRUE(sheet.ApplySearch(criteria));
  ClickHeader(sheet, 0);
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"2", "3"}));
  ClickHeader(sheet, 0);
  EXPECT_EQ(ColumnTexts(sheet, 0), (std::vector<std::string>{"3", "2"}));
  EXPECT_TRUE(sheet.IsSearching());
}

TEST_F(SheetSort, WidthsFollowTheItemTableAndTheNameWidth) {
  SetNameMax(30);
  FileSelSheet sheet{FindCriteria{}};
  Open(sheet);
  EXPECT_EQ(sheet.GetColLen(0), 5);
  EXPECT_EQ(sheet.GetColLen(1), 30);
  EXPECT_EQ(sheet.GetColLen(2), 8);
  EXPECT_EQ(sheet.GetColLen(4), 11);
  EXPECT_GT(sheet.columnWidth(1), sheet.columnWidth(4));
}

}  // namespace
}  // namespace vexa::test
