// The cell sheet of pages: cells that may or may not be selected, selection
// by keys, activation, and painting of the visible cells only.
#include <gtest/gtest.h>

#include <QTest>

#include <set>
#include <utility>

#include "vexafol/ui/sx_grp_sheet.h"

namespace vexa {
namespace {

// Six pages in rows of four: cells (1, 2) and (1, 3) hold no page.
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

TEST(SxGrpSheetTest, SelectsOnlyAllowedCellsActivatesAndPaintsTheVisibleOnes) {
  PageCells sheet;
  sheet.resize(400, 300);
  sheet.Init(2, 4, 2, 12);
  EXPECT_EQ(sheet.SetSelect(1, 2), 0);
  EXPECT_EQ(sheet.SetSelect(1, 1), 1);

  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  QTest::keyClick(&sheet, Qt::Key_Right);  // (1, 2) holds no page: stays
  int row = 0, col = 0;
  sheet.GetSelect(&row, &col);
  EXPECT_EQ(std::make_pair(row, col), std::make_pair(1, 1));
  QTest::keyClick(&sheet, Qt::Key_Up);
  QTest::keyClick(&sheet, Qt::Key_Return);
  QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, Qt::NoModifier,
                     sheet.CellRect(0, 3).center());
  EXPECT_EQ(sheet.activated, (std::vector<std::pair<int, int>>{{0, 1}, {0, 3}}));

  PageCells tall;
  tall.resize(400, 300);
  tall.Init(2, 4, 50, 12);
  tall.grab();
  EXPECT_TRUE(tall.drawn.count({1, 3}));
  for (const auto& [r, c] : tall.drawn) EXPECT_LE(r, 2);
}

}  // namespace
}  // namespace vexa
