// The cell sheet: cells that may or may not be selected, selection by mouse
// and keys, activation, and painting of the visible cells only.
#include <gtest/gtest.h>

#include <QTest>

#include <set>
#include <utility>

#include "vexafol/ui/sx_grp_sheet.h"

namespace vexa {
namespace {

// Six pages in rows of four, as the page sheet lays them out: cells (1, 2)
// and (1, 3) hold no page.
class PageCells : public SxGrpSheet {
 public:
  std::set<std::pair<int, int>> drawn;
  std::vector<std::pair<int, int>> activated;

 protected:
  void DrawRec(QPainter*, int row, int col, QRect*) override { drawn.insert({row, col}); }
  int SelectRec(int row, int col) override { return row * 4 + col < 6; }
  int ActivateRec(int row, int col) override {
    activated.emplace_back(row, col);
    return 1;
  }
};

TEST(SxGrpSheetTest, SelectsOnlyAllowedCellsAndActivatesThem) {
  PageCells sheet;
  sheet.resize(400, 300);
  sheet.Init(2, 4, 2, 12);
  int cols = 0, rows = 0, visible = 0;
  sheet.GetSheetInfo(&cols, &rows, &visible);
  EXPECT_EQ(cols, 4);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(visible, 2);
  int row = 0, col = 0;
  EXPECT_EQ(sheet.GetSelect(&row, &col), 0);
  EXPECT_EQ(row, -1);

  EXPECT_EQ(sheet.SetSelect(1, 2), 0);
  EXPECT_EQ(sheet.SetSelect(2, 0), 0);
  EXPECT_EQ(sheet.SetSelect(1, 1), 1);
  EXPECT_EQ(sheet.GetSelect(&row, &col), 1);
  EXPECT_EQ(std::make_pair(row, col), std::make_pair(1, 1));

  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  QTest::keyClick(&sheet, Qt::Key_Right);  // (1, 2) holds no page: stays
  sheet.GetSelect(&row, &col);
  EXPECT_EQ(std::make_pair(row, col), std::make_pair(1, 1));
  QTest::keyClick(&sheet, Qt::Key_Up);
  QTest::keyClick(&sheet, Qt::Key_Return);
  EXPECT_EQ(sheet.activated, (std::vector<std::pair<int, int>>{{0, 1}}));

  const QPoint cell = sheet.CellRect(0, 3).center();
  QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
  EXPECT_EQ(sheet.activated.back(), std::make_pair(0, 3));
}

TEST(SxGrpSheetTest, PaintsTheVisibleCellsOnly) {
  PageCells sheet;
  sheet.resize(400, 300);
  sheet.Init(2, 4, 50, 12);
  sheet.grab();
  for (const auto& [row, col] : sheet.drawn) EXPECT_LE(row, 2);
  EXPECT_TRUE(sheet.drawn.count({0, 0}));
  EXPECT_TRUE(sheet.drawn.count({1, 3}));
}

}  // namespace
}  // namespace vexa
