// Sorting the drawing grid by its column headers: arrows in the header texts,
// the order of the records, the sort kept in the user settings, and the
// write kind's free numbers sorted and searched among the drawings.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "tests/select/ui/grid_fixture.h"

namespace vexa::test {
namespace {

using Texts = std::vector<std::string>;

class SheetSort : public testing::Test, public GridFixture {
 protected:
  SheetSort() {
    // Numbers, update times and page counts in three different orders.
    const char* titles[] = {"あ", "い", "う"};
    const int64_t updated[] = {1700000300, 1700000100, 1700000200};
    const int pages[] = {2, 3, 1};
    for (int i = 0; i < 3; ++i) {
      DrawingSpec spec;
      spec.title = titles[i];
      spec.updated = updated[i];
      spec.pages = pages[i];
      Drawing(i + 1, spec);
    }
    Load();
  }
  void Open(const std::vector<int>& items = kDefaultItems) {
    sheet.resize(800, 300);
    sheet.Init(&list(), nullptr, items.data(), static_cast<int>(items.size()), 0);
  }
  void ClickHeader(int col) { ClickHeaderOf(sheet, col); }
  static void ClickHeaderOf(FileSelSheet& grid, int col) {
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }
  Texts Headers() const {
    Texts headers;
    for (int col = 0; col < sheet.model()->columnCount(); ++col) {
      headers.push_back(sheet.GetHeaderText(col));
    }
    return headers;
  }
  FileSelSheet sheet{FindCriteria{}};
};

TEST_F(SheetSort, OpensNewestFirstAndHeaderClicksStartAscendingThenReverse) {
  Open();  // nothing stored
  EXPECT_EQ(Headers(), (Texts{"No", "図面名", "CAD", "PAGE", "変更日(↑)"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), (Texts{"あ", "う", "い"}));
  EXPECT_EQ(UserValue("SORTTYPE"), "5");

  ClickHeader(0);  // No: 5 - 2 bytes leaves no room for brackets
  EXPECT_EQ(Headers(), (Texts{"No↓", "図面名", "CAD", "PAGE", "変更日"}));
  EXPECT_EQ(ColumnTexts(sheet, 0), (Texts{"1", "2", "3"}));
  EXPECT_EQ(UserValue("SORTTYPE"), "6");
  EXPECT_EQ(UserValue("SORTDIR"), "1");

  ClickHeader(0);
  EXPECT_EQ(sheet.GetHeaderText(0), "No↑");
  EXPECT_EQ(ColumnTexts(sheet, 0), (Texts{"3", "2", "1"}));
  EXPECT_EQ(UserValue("SORTDIR"), "-1");

  ClickHeader(3);  // PAGE: another column starts ascending again
  EXPECT_EQ(Headers(), (Texts{"No", "図面名", "CAD", "PAGE↓", "変更日"}));
  EXPECT_EQ(ColumnTexts(sheet, 3), (Texts{"1", "2", "3"}));
  ClickHeader(1);  // the name column is wide enough for brackets
  EXPECT_EQ(sheet.GetHeaderText(1), "図面名(↓)");
}

TEST_F(SheetSort, TheMemoColumnIsNotSortableAndTheNameTakesTheStoredWidth) {
  SetNameMax(30);
  Open({0, 1, 8, 7});
  EXPECT_EQ(sheet.GetColLen(1), 30);
  ClickHeader(2);
  EXPECT_EQ(Headers(), (Texts{"No", "図面名", "メモ", "変更日(↑)"}));
  EXPECT_EQ(ColumnTexts(sheet, 1), (Texts{"あ", "う", "い"}));
}

TEST_F(SheetSort, StoredSortIsRestoredAndSurvivesRebuildingTheColumns) {
  SetUserValue("SORTTYPE", "8");
  SetUserValue("SORTDIR", "-1");
  Open();
  EXPECT_EQ(ColumnTexts(sheet, 3), (Texts{"3", "2", "1"}));
  // The dialog rebuilds the columns on every resize; the arrow stays.
  const std::vector<int> items = {7, 3, 1};
  sheet.SetupColumns(items.data(), 3, 0);
  EXPECT_EQ(Headers(), (Texts{"変更日", "PAGE↑", "図面名"}));
}

TEST_F(SheetSort, SortingKeepsTheSearchFilter) {
  Open();
  FindCriteria criteria;
  criteria.useNo = 1;
  criteria.noFrom = 2;
  criteria.noTo = 3;
  ASSERT_TRUE(sheet.ApplySearch(criteria));
  ClickHeader(0);
  EXPECT_EQ(ColumnTexts(sheet, 0), (Texts{"2", "3"}));
  EXPECT_TRUE(sheet.IsSearching());
}

// The write kind's free numbers take their place in the number order and
// never match a search; each search filters every record, not the last
// search's results.
TEST_F(SheetSort, WriteKindRowsSortByNumberWithTheFreeOnesAndSearchesDropThem) {
  Drawing(5);  // the oldest: drawings 1, 3, 2, 5, then the free 4 and 6
  Load();
  FileAddSheet add{FindCriteria{}};
  add.resize(800, 300);
  add.Init(&list(), nullptr, kDefaultItems.data(), static_cast<int>(kDefaultItems.size()), 0);
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"1", "3", "2", "5", "4", "6"}));
  ClickHeaderOf(add, 0);
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"1", "2", "3", "4", "5", "6"}));
  ClickHeaderOf(add, 0);
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"6", "5", "4", "3", "2", "1"}));
  EXPECT_EQ(add.GetRowKey(2), 3);  // the free number 4 keeps its index as key

  FindCriteria criteria;
  criteria.useNo = 1;
  criteria.noFrom = 2;
  criteria.noTo = 5;
  ASSERT_TRUE(add.ApplySearch(criteria));
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"5", "3", "2"}));
  ClickHeaderOf(add, 0);  // sorting keeps the search
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"2", "3", "5"}));
  criteria.noFrom = criteria.noTo = 1;
  ASSERT_TRUE(add.ApplySearch(criteria));
  EXPECT_EQ(ColumnTexts(add, 0), Texts{"1"});
  criteria.noFrom = criteria.noTo = 4;  // only a free number: nothing matches
  EXPECT_FALSE(add.ApplySearch(criteria));
  add.ClearSearch();
  EXPECT_EQ(ColumnTexts(add, 0), (Texts{"1", "2", "3", "4", "5", "6"}));
}

}  // namespace
}  // namespace vexa::test
