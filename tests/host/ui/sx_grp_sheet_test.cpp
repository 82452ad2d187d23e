// The cell sheet of pages: cells that may or may not be selected, selection
// by keys and the mouse, activation, scrolling by whole rows, keys passed on
// to the window, painting of the visible cells only and of the selection
// mark, and tool tips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "vexafol/ui/sx_grp_sheet.h"

namespace vexa {
namespace {

// Six pages in rows of four: cells (1, 2) and (1, 3) hold no page. Page 4
// has a tool tip.
class PageCells : public SxGrpSheet {
 public:
  std::set<std::pair<int, int>> drawn;
  std::vector<std::pair<int, int>> activated;
  int pages = 6;

  std::pair<int, int> Selected() const {
    int row = -1, col = -1;
    GetSelect(&row, &col);
    return {row, col};
  }

 protected:
  void DrawRec(QPainter*, int row, int col, QRect*) override { drawn.insert({row, col}); }
  int SelectRec(int row, int col) override { return row * 4 + col < pages; }
  int ActivateRec(int row, int col) override {
    activated.emplace_back(row, col);
    return 1;
  }
  void GetCellToolTip(int row, int col, std::string& text) override {
    if (row * 4 + col == 4) text = "5ページ";
  }
};

// Whether the sheet took the key (false: it goes on to the window).
bool Takes(QWidget& sheet, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&sheet, &press);
  return press.isAccepted();
}

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

// The cells are the item view's: each cell's rectangle is the one the view
// paints and hit-tests, the cells share the width, and the sheet scrolls by
// whole rows to a cell selected even before it is shown.
TEST(SxGrpSheetTest, CellsAreTheViewsAndScrollByWholeRows) {
  PageCells sheet;
  sheet.pages = 200;
  sheet.resize(400, 300);
  sheet.Init(2, 4, 50, 12);
  ASSERT_EQ(sheet.SetSelect(20, 1), 1);
  EXPECT_EQ(sheet.verticalScrollBar()->value(), 19);
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  const int width = sheet.viewport()->width() / 4;
  const int height = sheet.viewport()->height() / 2;
  for (int row : {19, 20}) {
    for (int col = 0; col < 4; ++col) {
      const QRect cell = sheet.CellRect(row, col);
      EXPECT_EQ(cell, sheet.visualRect(sheet.model()->index(row, col))) << row << col;
      EXPECT_EQ(cell.size(), QSize(width, height));
      EXPECT_EQ(sheet.indexAt(cell.center()), sheet.model()->index(row, col));
    }
  }
  EXPECT_EQ(sheet.CellRect(20, 1).bottom(), 2 * height - 1);  // the last row shown
  int columns = 0, rows = 0, visible = 0;
  sheet.GetSheetInfo(&columns, &rows, &visible);
  EXPECT_EQ(std::make_tuple(columns, rows, visible), std::make_tuple(4, 50, 2));

  // Up from the top row shown scrolls one row; Page Down scrolls a page and
  // leaves the selection where it is.
  QTest::keyClick(&sheet, Qt::Key_Up);
  QTest::keyClick(&sheet, Qt::Key_Up);
  EXPECT_EQ(sheet.Selected(), std::make_pair(18, 1));
  EXPECT_EQ(sheet.verticalScrollBar()->value(), 18);
  QTest::keyClick(&sheet, Qt::Key_PageDown);
  EXPECT_EQ(sheet.verticalScrollBar()->value(), 20);
  EXPECT_EQ(sheet.Selected(), std::make_pair(18, 1));
  // A new Init clears the selection and the scrolling.
  sheet.Init(2, 4, 2, 12);
  EXPECT_EQ(sheet.GetSelect(nullptr, nullptr), 0);
  EXPECT_EQ(sheet.Selected(), std::make_pair(-1, -1));
  EXPECT_EQ(sheet.verticalScrollBar()->value(), 0);
}

// Two rows of four cells for twelve pages, on screen.
void ShowTwelvePages(PageCells& sheet) {
  sheet.resize(400, 300);
  sheet.Init(2, 4, 2, 12);
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
}

// Nothing of the item view's own ways selects a cell behind the sheet's
// back: taking the focus, dragging over cells, keys it does not know; and
// the keys it does not know reach the window (Escape cancels a dialog,
// Return with nothing selected confirms it).
TEST(SxGrpSheetTest, OnlyTheSheetsOwnRulesSelect) {
  PageCells sheet;
  ASSERT_NO_FATAL_FAILURE(ShowTwelvePages(sheet));
  QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(&sheet, &focus);
  EXPECT_EQ(sheet.Selected(), std::make_pair(-1, -1));
  EXPECT_FALSE(Takes(sheet, Qt::Key_Return));
  EXPECT_TRUE(sheet.activated.empty());
  EXPECT_FALSE(Takes(sheet, Qt::Key_Escape));
  EXPECT_FALSE(Takes(sheet, Qt::Key_A));
  EXPECT_FALSE(Takes(sheet, Qt::Key_Home));
  EXPECT_EQ(sheet.Selected(), std::make_pair(-1, -1));
  EXPECT_TRUE(Takes(sheet, Qt::Key_Down));  // the first arrow: the first cell
  EXPECT_EQ(sheet.Selected(), std::make_pair(0, 0));

  // Pressed on page 1, dragged to the empty cell (1, 3) and released there.
  QWidget* viewport = sheet.viewport();
  const QPoint from = sheet.CellRect(0, 1).center();
  const QPoint to = sheet.CellRect(1, 3).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, from);
  QMouseEvent drag(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(viewport, &drag);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
  EXPECT_EQ(sheet.Selected(), std::make_pair(0, 1));
  EXPECT_EQ(sheet.selectionModel()->selectedIndexes().size(), 1);
  // The right button selects nothing.
  QTest::mouseClick(viewport, Qt::RightButton, {}, sheet.CellRect(1, 0).center());
  EXPECT_EQ(sheet.Selected(), std::make_pair(0, 1));
}

// The selected cell shows the base mark, a 3-pixel frame in the highlight
// colour inside the cell, and nothing else: no highlight of the style under
// the cell; the other cells show none.
TEST(SxGrpSheetTest, OnlyTheSelectedCellShowsTheMark) {
  PageCells sheet;
  ASSERT_NO_FATAL_FAILURE(ShowTwelvePages(sheet));
  ASSERT_EQ(sheet.SetSelect(0, 2), 1);
  const QImage image = sheet.viewport()->grab().toImage();
  const QColor highlight = sheet.palette().color(QPalette::Inactive, QPalette::Highlight);
  const QColor base = sheet.viewport()->palette().color(QPalette::Base);
  for (int col = 0; col < 4; ++col) {
    SCOPED_TRACE(col);
    const QRect cell = sheet.CellRect(0, col);
    EXPECT_EQ(image.pixelColor(cell.left() + 2, cell.center().y()) == highlight, col == 2);
    EXPECT_EQ(image.pixelColor(cell.center()), base);
  }
}

TEST(SxGrpSheetTest, ToolTipsComeFromTheHookForTheCellUnderTheMouse) {
  PageCells sheet;
  ASSERT_NO_FATAL_FAILURE(ShowTwelvePages(sheet));
  const auto tipAt = [&](int row, int col) {
    const QPoint at = sheet.CellRect(row, col).center();
    QHelpEvent help(QEvent::ToolTip, at, sheet.viewport()->mapToGlobal(at));
    QApplication::sendEvent(sheet.viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipAt(0, 0), QString());
  EXPECT_EQ(tipAt(1, 3), QString());
  EXPECT_EQ(tipAt(1, 0), QStringLiteral("5ページ"));
}

}  // namespace
}  // namespace vexa
