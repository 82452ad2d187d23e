// The record grid: columns bound to items, header texts by id, marking and
// its order, colours, cursor, Return and double click, lazy text for large
// record counts, and Japanese text through the mapped dialog fonts.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "vexafol/ui/sx_sheet.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

const char* const kCaptions[] = {"No",     "図面名", "CAD",    "PAGE", "作成者",
                                 "変更者", "作成日", "変更日", "メモ"};

// A sheet over generated records: item 0 the number, item 1 a Japanese name,
// item 8 a memo; every third record is locked and painted red.
class TestSheet : public SxSheet {
 public:
  TestSheet() { resize(480, 320); }

  void Build(const std::vector<int>& items, int multi) {
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
    MultiSelect(multi);
    EnableMarkOrder(1);
  }

  std::string Text(int row, int col) const {
    return model()->data(model()->index(row, col)).toString().toStdString();
  }

  int textCalls = 0;
  int highestRowAsked = -1;
  std::vector<std::pair<int, int>> recordChanges;
  std::vector<int> headerClicks;
  std::vector<unsigned> mouseMessages;
  std::vector<unsigned> keys;

 protected:
  void GetItemText(int row, int itemId, std::string& text) override {
    ++textCalls;
    highestRowAsked = std::max(highestRowAsked, row);
    if (itemId == 0) text = std::to_string(row + 1);
    if (itemId == 1) text = "図面" + std::to_string(row + 1);
    if (itemId == 8) text = "メモ";
  }
  int GetItemColor(int row, int, COLORREF& color) override {
    if (row % 3 == 0) color = 0x0000FF;
    return 1;
  }
  void OnRecordChanged(int row, int col) override { recordChanges.emplace_back(row, col); }
  void OnHeaderClick(int itemId) override { headerClicks.push_back(itemId); }
  void OnRecordMouse(unsigned message, int, int) override { mouseMessages.push_back(message); }
  void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override {
    keys.push_back(key);
    SxSheet::OnKeyDown(key, repeat, flags);
  }
};

QPoint CellCenter(const SxSheet& sheet, int row, int col) {
  return sheet.visualRect(sheet.model()->index(row, col)).center();
}

void Click(SxSheet& sheet, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::mouseClick(sheet.viewport(), Qt::LeftButton, modifiers, CellCenter(sheet, row, 1));
}

class SxSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    sheet.Build({0, 1, 8}, 1);
    sheet.SetRecMax(20);
    sheet.SetRecCnt(20);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  }
  TestSheet sheet;
};

TEST_F(SxSheetTest, ColumnsShowTheirItemsAndHeadersChangeById) {
  EXPECT_EQ(sheet.model()->columnCount(), 3);
  EXPECT_EQ(sheet.GetRecCnt(), 20);
  EXPECT_EQ(sheet.Text(4, 0), "5");
  EXPECT_EQ(sheet.Text(4, 1), "図面5");
  EXPECT_EQ(sheet.Text(4, 2), "メモ");
  EXPECT_EQ(sheet.GetColItem(1), 1);
  EXPECT_EQ(sheet.GetColLen(1), 30);
  EXPECT_EQ(sheet.GetColLen(7), 0);
  EXPECT_GT(sheet.columnWidth(1), sheet.columnWidth(0));

  sheet.SetTextString(1, "図面名(↓)");
  EXPECT_EQ(sheet.model()->headerData(1, Qt::Horizontal).toString().toStdString(), "図面名(↓)");
  EXPECT_EQ(sheet.GetHeaderText(0), "No");
  EXPECT_EQ(sheet.GetHeaderText(2), "メモ");

  // Data forms: 1 centres, 0 keeps text left.
  const auto alignment = [&](int col) {
    return sheet.model()->data(sheet.model()->index(0, col), Qt::TextAlignmentRole).toInt() &
           Qt::AlignHorizontal_Mask;
  };
  EXPECT_EQ(alignment(0), Qt::AlignHCenter);
  EXPECT_EQ(alignment(1), Qt::AlignLeft);

  // A new frame with other items shows the new columns.
  sheet.Build({8, 1}, 1);
  EXPECT_EQ(sheet.model()->columnCount(), 2);
  EXPECT_EQ(sheet.Text(0, 0), "メモ");
  EXPECT_EQ(sheet.GetHeaderText(1), "図面名");
}

TEST_F(SxSheetTest, HeaderClickReportsTheColumnsItem) {
  QSignalSpy spy(&sheet, &SxSheet::headerClicked);
  QHeaderView* header = sheet.horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
  ASSERT_EQ(sheet.headerClicks, std::vector<int>{8});
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toInt(), 8);
  EXPECT_EQ(sheet.GetMarkCnt(), 0);  // a header click marks no record
}

TEST_F(SxSheetTest, MarkingKeepsTheOrderOfMarkingAcrossFrameRebuilds) {
  Click(sheet, 5);
  Click(sheet, 2, Qt::ControlModifier);
  Click(sheet, 8, Qt::ControlModifier);
  EXPECT_EQ(sheet.selectionModel()->selectedRows().size(), 3);
  EXPECT_EQ(sheet.GetMarkCnt(), 3);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{5, 2, 8}));

  Click(sheet, 2, Qt::ControlModifier);  // unmark
  Click(sheet, 1, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{5, 8, 1}));
  int out[2] = {-1, -1};
  EXPECT_EQ(sheet.GetMarkRecOrder(out, 2), 2);
  EXPECT_EQ(out[0], 5);
  EXPECT_EQ(out[1], 8);

  // Rebuilding the columns (the dialog does it on every resize) keeps marks,
  // order and cursor and does not report a record change.
  const size_t changes = sheet.recordChanges.size();
  sheet.Build({0, 1}, 1);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{5, 8, 1}));
  int row = -1;
  int col = -1;
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(sheet.recordChanges.size(), changes);

  sheet.EnableMarkOrder(0);
  EXPECT_EQ(sheet.GetMarkRecOrder(), (std::vector<int>{1, 5, 8}));

  // A new record count clears the marks and the cursor.
  sheet.SetRecCnt(10);
  EXPECT_EQ(sheet.GetMarkCnt(), 0);
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, -1);
  EXPECT_EQ(col, -1);
}

TEST_F(SxSheetTest, SingleMarkingFollowsTheCursor) {
  sheet.MultiSelect(0);
  sheet.recordChanges.clear();
  sheet.JumpTo(3, 1);
  QTest::keyClick(&sheet, Qt::Key_Down);
  Click(sheet, 7, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{7});
  EXPECT_EQ(sheet.recordChanges, (std::vector<std::pair<int, int>>{{3, 1}, {4, 1}, {7, 1}}));

  // Multiple marking switched off keeps only the cursor's record.
  sheet.MultiSelect(1);
  Click(sheet, 9, Qt::ControlModifier);
  EXPECT_EQ(sheet.GetMarkCnt(), 2);
  sheet.MultiSelect(0);
  EXPECT_EQ(sheet.GetMarkRecOrder(), std::vector<int>{9});

  // JumpTo clamps into the records and columns.
  sheet.JumpTo(500, 9);
  int row = -1;
  int col = -1;
  sheet.GetEditPos(&row, &col);
  EXPECT_EQ(row, 19);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(sheet.GetPageBot(), 19);
}

TEST_F(SxSheetTest, RecordColourComesFromTheHook) {
  const auto brush = [&](int row, int col, int role) {
    return sheet.model()->data(sheet.model()->index(row, col), role);
  };
  EXPECT_EQ(brush(3, 1, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
  EXPECT_FALSE(brush(4, 1, Qt::BackgroundRole).isValid());
  // The label column (flagged item 0) uses the header colour when the hook
  // gives none.
  EXPECT_EQ(brush(4, 0, Qt::BackgroundRole).value<QBrush>().color(),
            sheet.palette().button().color());
}

TEST_F(SxSheetTest, ReturnAndDoubleClickReachHooksAndSignals) {
  QSignalSpy returns(&sheet, &SxSheet::returnPressed);
  QSignalSpy doubles(&sheet, &SxSheet::recordDoubleClicked);
  sheet.JumpTo(6, 1);
  QTest::keyClick(&sheet, Qt::Key_Return);
  ASSERT_EQ(returns.count(), 1);
  EXPECT_EQ(returns.at(0).at(0).toInt(), 6);

  QTest::keyClick(&sheet, Qt::Key_A);
  QTest::keyClick(&sheet, Qt::Key_Down);
  EXPECT_EQ(sheet.keys, (std::vector<unsigned>{VK_RETURN, 'A', VK_DOWN}));
  int row = -1;
  sheet.GetEditPos(&row, nullptr);
  EXPECT_EQ(row, 7);  // keys other than Return move the cursor as usual

  QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(sheet, 2, 0));
  ASSERT_EQ(doubles.count(), 1);
  EXPECT_EQ(doubles.at(0).at(0).toInt(), 2);
  EXPECT_EQ(doubles.at(0).at(1).toInt(), 0);
  ASSERT_FALSE(sheet.mouseMessages.empty());
  EXPECT_EQ(sheet.mouseMessages.back(), WM_LBUTTONDBLCLK);
}

// Ten thousand records cost only the visible ones: texts are asked while
// painting, for the records on screen.
TEST(SxSheetLargeTest, TextsAreAskedOnlyForVisibleRecords) {
  TestSheet sheet;
  sheet.Build({0, 1, 8}, 1);
  sheet.SetRecMax(10000);
  sheet.SetRecCnt(10000);
  sheet.JumpTo(0, 1);
  sheet.grab();
  EXPECT_GT(sheet.textCalls, 0);
  EXPECT_LE(sheet.highestRowAsked, sheet.GetPageBot());
  EXPECT_LT(sheet.textCalls, 50 * 3 * 4);

  sheet.JumpTo(9999, 1);
  sheet.highestRowAsked = -1;
  sheet.grab();
  EXPECT_EQ(sheet.GetPageBot(), 9999);
  EXPECT_GT(sheet.GetPageTop(), 9900);
  EXPECT_EQ(sheet.highestRowAsked, 9999);
}

TEST(SxSheetFontTest, DialogFacesRenderWithTheIpaFonts) {
  InitUiLibrary();
  const QFont proportional = DialogFont(kFacePGothic, 9);
  const QFont fixed = DialogFont(kFaceGothic, 12);
  EXPECT_EQ(QFontInfo(proportional).family(), QFontInfo(QFont("IPAPGothic")).family());
  EXPECT_EQ(QFontInfo(fixed).family(), QFontInfo(QFont("IPAGothic")).family());
  const QFontMetrics metrics(proportional);
  for (const QChar ch : QStringLiteral("図面名変更日ﾍﾟｰｼﾞ")) EXPECT_TRUE(metrics.inFont(ch));

  // Set VEXA_UI_SCREENSHOT to a file name to look at a sample sheet.
  if (const char* path = std::getenv("VEXA_UI_SCREENSHOT")) {
    TestSheet sheet;
    sheet.setFont(proportional);
    sheet.Build({0, 1, 4, 8}, 1);
    sheet.SetRecCnt(30);
    sheet.JumpTo(4, 1);
    sheet.SetTextString(1, "図面名(↑)");
    EXPECT_TRUE(sheet.grab().save(QString::fromLocal8Bit(path)));
  }
}

}  // namespace
}  // namespace vexa
