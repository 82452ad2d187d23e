// The record grid: marking and its order across frame rebuilds, column
// widths (the stretch column, the widest text, the user's dragging), what the
// model behind the view answers (records, columns, header texts by id, cells
// asked one at a time) and lazy text for large record counts.
#include <gtest/gtest.h>

#include <QBrush>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "vexafol/ui/sx_sheet.h"

namespace vexa {
namespace {

const char* const kCaptions[] = {"No", "図面名", "", "", "", "", "", "", "メモ"};

// A sheet over generated records: item 0 the number, item 1 a name, item 8 a
// memo.
class TestSheet : public SxSheet {
 public:
  TestSheet() { resize(480, 320); }

  void Build(const std::vector<int>& items) {
    ClearFrame();
    SetHeaderRow(1);
    SetRecRow(1);
    SetColNum(static_cast<int>(items.size()));
    SetTextHeight(14);
    for (size_t i = 0; i < items.size(); ++i) {
      const int col = static_cast<int>(i);
      AddText(0, col, kCaptions[items[i]], items[i]);
      SetColLen(col, items[i] == 1 ? 30 : 8);
      AddItem(1, col, items[i], items[i] == 0 ? 1 : 0);
      SetDataForm(items[i], items[i] == 1 ? 0 : 1);
    }
    MultiSelect(1);
    EnableMarkOrder(1);
  }
  void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(viewport(), Qt::LeftButton, modifiers,
                      visualRect(model()->index(row, 1)).center());
  }
  int Row() const {
    int row = -1;
    GetEditPos(&row, nullptr);
    return row;
  }

  std::string widestNumber;
  int textCalls = 0;
  int highestRowAsked = -1;
  std::vector<std::pair<int, int>> asked;  // record and item of each text asked
  std::vector<std::pair<int, int>> recordChanges;
  int emptyRow = -1;  // a record whose cells hold nothing
  int redRow = -1;    // a record coloured dark red, with a tool tip

 protected:
  int GetCellState(int row, int col) override {
    return row == emptyRow ? 0 : SxSheet::GetCellState(row, col);
  }
  int GetItemColor(int row, int, COLORREF& color) override {
    if (row == redRow) color = 0x000080;
    return 1;
  }
  void GetItemToolTip(int row, int col, std::string& text) override {
    if (row == redRow) text = "赤 " + std::to_string(col);
  }
  void GetItemText(int row, int itemId, std::string& text) override {
    ++textCalls;
    asked.emplace_back(row, itemId);
    highestRowAsked = std::max(highestRowAsked, row);
    if (itemId == 0) text = std::to_string(row + 1);
    if (itemId == 1) text = "図面" + std::to_string(row + 1);
    if (itemId == 8) text = "メモ";
  }
  void GetWidestText(int itemId, std::string& text) override {
    if (itemId == 0) text = widestNumber;
  }
  void OnRecordChanged(int row, int col) override { recordChanges.emplace_back(row, col); }
};

class SxSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    sheet.Build({0, 1, 8});
    sheet.SetRecMax(20);
    sheet.SetRecCnt(20);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  }
  TestSheet sheet;
};

TEST_F(SxSheetTest, MarkingKeepsTheOrderOfMarkingAcrossFrameRebuilds) {
  sheet.Click(5);
  sheet.Click(2, Qt::ControlModifier);
  sheet.Click(8, Qt::ControlModifier);
  sheet.Click(2, Qt::ControlModifier);  // unmark
  sheet.Click(1, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{5, 8, 1}));

  // Rebuilding the columns (the dialog does it on every resize) keeps marks,
  // order and cursor and does not report a record change.
  const size_t changes = sheet.recordChanges.size();
  sheet.Build({0, 1});
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{5, 8, 1}));
  EXPECT_EQ(sheet.Row(), 1);
  EXPECT_EQ(sheet.recordChanges.size(), changes);

  // A new record count clears the marks and the cursor.
  sheet.SetRecCnt(10);
  EXPECT_EQ(sheet.GetMarkCnt(), 0);
  EXPECT_EQ(sheet.Row(), -1);
}

TEST_F(SxSheetTest, EveryKeyThatMovesTheCursorCarriesASingleMarkWithIt) {
  struct Move {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int from;
    int to;
  };
  const int page = sheet.GetPageBot() - sheet.GetPageTop();
  ASSERT_GT(page, 2);
  const Move moves[] = {
      {Qt::Key_Home, Qt::NoModifier, 0, 0},
      {Qt::Key_Home, Qt::NoModifier, 19, 0},
      {Qt::Key_End, Qt::NoModifier, 0, 19},
      {Qt::Key_End, Qt::NoModifier, 19, 19},
      {Qt::Key_Home, Qt::ControlModifier, 10, 0},
      {Qt::Key_End, Qt::ControlModifier, 10, 19},
      {Qt::Key_Down, Qt::NoModifier, 10, 11},
      {Qt::Key_Down, Qt::ControlModifier, 10, 11},
      {Qt::Key_Up, Qt::ControlModifier, 10, 9},
      {Qt::Key_PageDown, Qt::ControlModifier, 0, page},
      {Qt::Key_PageUp, Qt::NoModifier, 19, 19 - page},
  };
  for (const Move& move : moves) {
    SCOPED_TRACE(QKeySequence(move.key | move.modifiers).toString().toStdString());
    SCOPED_TRACE(move.from);
    sheet.JumpTo(move.from, 1);
    QTest::keyClick(&sheet, move.key, move.modifiers);
    EXPECT_EQ(sheet.Row(), move.to);
    int col = -1;
    sheet.GetEditPos(nullptr, &col);
    EXPECT_EQ(col, 1);  // Home and End keep the column
    EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{move.to});
  }
  // The mouse cannot part cursor and mark either: Ctrl+click on the only mark
  // keeps it, and unmarking the cursor's record of two sends the cursor (and
  // the record reported to the panel) to the one left.
  sheet.JumpTo(4, 1);
  sheet.Click(4, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{4});
  sheet.Click(9, Qt::ControlModifier);
  sheet.Click(9, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{4});
  EXPECT_EQ(sheet.Row(), 4);
  EXPECT_EQ(sheet.recordChanges.back().first, 4);
}

TEST_F(SxSheetTest, WithSeveralMarksCtrlMovesOnlyTheCursorWhichStaysVisible) {
  sheet.Click(3);
  sheet.Click(6, Qt::ControlModifier);
  QTest::keyClick(&sheet, Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(&sheet, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(sheet.Row(), 0);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{3, 6}));

  // The cursor is a frame around its record, marked or not.
  const QColor frame = sheet.palette().color(QPalette::Text);
  auto leftEdge = [&](int row) {
    const QRect cell = sheet.visualRect(sheet.model()->index(row, 1));
    return sheet.viewport()->grab().toImage().pixelColor(1, cell.center().y());
  };
  EXPECT_EQ(leftEdge(0), frame);
  EXPECT_NE(leftEdge(1), frame);
  EXPECT_NE(leftEdge(3), frame);
  sheet.JumpTo(3, 1);
  EXPECT_EQ(leftEdge(3), frame);

  // Plain moving keys go back to a single mark.
  sheet.Click(3);
  sheet.Click(6, Qt::ControlModifier);
  QTest::keyClick(&sheet, Qt::Key_End);
  EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{19});
}

int Width(const SxSheet& sheet, int col) {
  return sheet.horizontalHeader()->sectionSize(col);
}

int TotalWidth(const SxSheet& sheet) {
  return sheet.horizontalHeader()->length();
}

TEST_F(SxSheetTest, TheStretchColumnFillsTheFreeWidthAndKeepsItsLength) {
  const int own = Width(sheet, 1);  // 30 characters
  sheet.SetStretchItem(1);
  // Wider than its 30 characters: the columns end at the viewport's edge.
  EXPECT_EQ(TotalWidth(sheet), sheet.viewport()->width());
  EXPECT_GT(Width(sheet, 1), own);
  QCoreApplication::processEvents();
  EXPECT_FALSE(sheet.horizontalScrollBar()->isVisible());
  sheet.resize(900, 320);
  EXPECT_EQ(TotalWidth(sheet), sheet.viewport()->width());
  // Narrower than the columns: the name keeps its length and the grid scrolls.
  sheet.resize(200, 320);
  EXPECT_EQ(Width(sheet, 1), own);
  // A rebuild of the frame (every resize of the dialog) fills again.
  sheet.resize(700, 320);
  sheet.Build({0, 1, 8});
  EXPECT_EQ(TotalWidth(sheet), sheet.viewport()->width());
}

TEST_F(SxSheetTest, AColumnIsAsWideAsTheWidestTextItsRecordsMayShow) {
  const int plain = Width(sheet, 0);  // 8 characters
  sheet.widestNumber = "履歴999履歴999";
  sheet.Build({0, 1, 8});
  const int needed = sheet.fontMetrics().horizontalAdvance(QStringLiteral("履歴999履歴999"));
  EXPECT_GT(Width(sheet, 0), needed);
  EXPECT_GT(Width(sheet, 0), plain);
  EXPECT_EQ(sheet.GetColLen(0), 8);  // the length asked for is still answered
}

TEST_F(SxSheetTest, DraggedWidthsOutliveRebuildsAndResizesAndAreReported) {
  sheet.SetStretchItem(1);
  QSignalSpy dragged(&sheet, &SxSheet::userColWidthChanged);
  // The user drags the memo column (the header's own resize, as a drag does).
  sheet.horizontalHeader()->resizeSection(2, 150);
  ASSERT_EQ(dragged.count(), 1);
  EXPECT_EQ(dragged.at(0).at(0).toInt(), 8);
  EXPECT_EQ(dragged.at(0).at(1).toInt(), 150);
  // The name column gives up what the memo took; nothing scrolls.
  EXPECT_EQ(TotalWidth(sheet), sheet.viewport()->width());
  sheet.Build({0, 1, 8});
  sheet.resize(640, 320);
  EXPECT_EQ(Width(sheet, 2), 150);
  EXPECT_EQ(sheet.GetUserColWidths(), (std::map<int, int>{{8, 150}}));
  // The widths follow the item, wherever it is shown; a dragged name column
  // no longer stretches.
  sheet.Build({8, 0, 1});
  EXPECT_EQ(Width(sheet, 0), 150);
  sheet.horizontalHeader()->resizeSection(2, 90);
  sheet.resize(900, 320);
  EXPECT_EQ(Width(sheet, 2), 90);
  // Widths given back (from the settings) replace all; nonsense is dropped or
  // bounded.
  sheet.SetUserColWidths({{0, 60}, {1, -5}});
  EXPECT_EQ(sheet.GetUserColWidths(), (std::map<int, int>{{0, 60}}));
  EXPECT_EQ(Width(sheet, 1), 60);
  EXPECT_EQ(TotalWidth(sheet), sheet.viewport()->width());  // the name stretches again
  sheet.SetUserColWidths({{8, 1 << 30}});
  EXPECT_EQ(Width(sheet, 0), 4000);
  EXPECT_EQ(dragged.count(), 2);  // only what the user did
}

TEST_F(SxSheetTest, GoingToARecordScrollsUpOrDownOnlyLeftAndRightScrollSideways) {
  sheet.resize(200, 320);  // narrower than the columns: the name column is cut
  QScrollBar* sideways = sheet.horizontalScrollBar();
  sideways->setValue(0);
  sheet.JumpTo(15, 1);
  QTest::keyClick(&sheet, Qt::Key_Down);
  QTest::keyClick(&sheet, Qt::Key_End);
  EXPECT_EQ(sheet.Row(), 19);
  EXPECT_EQ(sideways->value(), 0);         // the number column stays in view
  QTest::keyClick(&sheet, Qt::Key_Right);  // to the memo, right of the name
  EXPECT_GT(sideways->value(), 0);
  QTest::keyClick(&sheet, Qt::Key_Up);
  EXPECT_GT(sideways->value(), 0);  // the memo cell stays in view
}

// The view shows what the model answers: a disagreement about records,
// columns, the item a column shows or a header's id would show one thing and
// hand the hooks another.
TEST_F(SxSheetTest, TheModelAnswersWhatTheFrameDescribes) {
  const QAbstractItemModel& model = *sheet.model();
  const auto text = [&](int row, int col, int role = Qt::DisplayRole) {
    return model.data(model.index(row, col), role).toString().toStdString();
  };
  EXPECT_EQ(model.rowCount(), 20);
  EXPECT_EQ(model.columnCount(), 3);
  EXPECT_EQ(sheet.horizontalHeader()->count(), 3);

  // Columns in another order: each shows its own item, aligned by its form,
  // and the header follows its column.
  sheet.Build({8, 0, 1});
  sheet.SetDataForm(0, 2);
  sheet.asked.clear();
  EXPECT_EQ(text(4, 0), "メモ");
  EXPECT_EQ(text(4, 1), "5");
  EXPECT_EQ(text(4, 2), "図面5");
  EXPECT_EQ(sheet.asked, (std::vector<std::pair<int, int>>{{4, 8}, {4, 0}, {4, 1}}));
  EXPECT_EQ(model.data(model.index(4, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(model.data(model.index(4, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignLeft | Qt::AlignVCenter);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("No"));

  // Header texts by id, on two lines; a text outside the lines is dropped.
  sheet.ClearFrame();
  EXPECT_EQ(model.columnCount(), 0);
  EXPECT_EQ(sheet.GetRecCnt(), 20);
  sheet.SetHeaderRow(2);
  sheet.SetColNum(3);
  sheet.AddText(0, 0, "変更日", 31);
  sheet.AddText(1, 0, "(↑)", 32);
  sheet.AddText(0, 2, "(↑)", 32);
  sheet.AddText(2, 1, "三行目", 33);
  sheet.SetTextString(32, "(↓)");
  EXPECT_EQ(sheet.GetHeaderText(0), "変更日\n(↓)");
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString().toStdString(), "変更日\n(↓)");
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString().toStdString(), "(↓)");
  EXPECT_EQ(sheet.GetHeaderText(1), "");
  // A column that goes takes its texts with it.
  sheet.SetColNum(1);
  sheet.SetColNum(3);
  EXPECT_EQ(sheet.GetHeaderText(2), "");
  EXPECT_EQ(sheet.GetColItem(2), -1);
  EXPECT_EQ(text(0, 2), "");
}

TEST_F(SxSheetTest, CellsAreAskedOfTheHooksOneAtATime) {
  const QAbstractItemModel& model = *sheet.model();
  sheet.emptyRow = 3;
  sheet.redRow = 5;
  sheet.asked.clear();
  // An empty cell can be neither marked nor asked for text.
  EXPECT_EQ(model.flags(model.index(3, 1)), Qt::NoItemFlags);
  EXPECT_FALSE(model.data(model.index(3, 1)).isValid());
  EXPECT_TRUE(sheet.asked.empty());
  sheet.Click(3);
  EXPECT_EQ(sheet.GetMarkCnt(), 0);
  // A colour of the hook is the background, with a text that reads on it;
  // the tool tip is the hook's.
  EXPECT_EQ(model.data(model.index(5, 1), Qt::BackgroundRole).value<QBrush>().color(),
            QColor(0x80, 0, 0));
  EXPECT_EQ(model.data(model.index(5, 1), Qt::ForegroundRole).value<QBrush>().color(),
            QColor(Qt::white));
  EXPECT_EQ(model.data(model.index(5, 2), Qt::ToolTipRole).toString(), QStringLiteral("赤 2"));
  EXPECT_FALSE(model.data(model.index(6, 2), Qt::ToolTipRole).isValid());
  // The label column (item 0) takes the view's button colours, also after
  // the palette changes.
  EXPECT_EQ(model.data(model.index(6, 0), Qt::BackgroundRole).value<QBrush>().color(),
            sheet.palette().button().color());
  QPalette palette = sheet.palette();
  palette.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
  sheet.setPalette(palette);
  EXPECT_EQ(model.data(model.index(6, 0), Qt::BackgroundRole).value<QBrush>().color(),
            QColor(0x12, 0x34, 0x56));
  EXPECT_FALSE(model.data(model.index(6, 1), Qt::BackgroundRole).isValid());
  EXPECT_TRUE(sheet.asked.empty());
}

// Ten thousand records cost only the visible ones: texts are asked while
// painting, for the records on screen.
TEST(SxSheetLargeTest, TextsAreAskedOnlyForVisibleRecords) {
  TestSheet sheet;
  sheet.Build({0, 1, 8});
  sheet.SetRecMax(10000);
  sheet.SetRecCnt(10000);
  sheet.JumpTo(0, 1);
  EXPECT_EQ(sheet.textCalls, 0);  // nothing before the first paint
  sheet.grab();
  EXPECT_LE(sheet.highestRowAsked, sheet.GetPageBot());
  EXPECT_LT(sheet.textCalls, 50 * 3 * 4);

  sheet.JumpTo(9999, 1);
  sheet.highestRowAsked = -1;
  sheet.grab();
  EXPECT_EQ(sheet.GetPageBot(), 9999);
  EXPECT_GT(sheet.GetPageTop(), 9900);
  EXPECT_EQ(sheet.highestRowAsked, 9999);
}

}  // namespace
}  // namespace vexa
