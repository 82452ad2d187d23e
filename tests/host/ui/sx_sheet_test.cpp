// The record grid: marking and its order across frame rebuilds, and lazy
// text for large record counts.
#include <gtest/gtest.h>

#include <QTest>

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

  int textCalls = 0;
  int highestRowAsked = -1;
  std::vector<std::pair<int, int>> recordChanges;

 protected:
  void GetItemText(int row, int itemId, std::string& text) override {
    ++textCalls;
    highestRowAsked = std::max(highestRowAsked, row);
    if (itemId == 0) text = std::to_string(row + 1);
    if (itemId == 1) text = "図面" + std::to_string(row + 1);
    if (itemId == 8) text = "メモ";
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

// Ten thousand records cost only the visible ones: texts are asked while
// painting, for the records on screen.
TEST(SxSheetLargeTest, TextsAreAskedOnlyForVisibleRecords) {
  TestSheet sheet;
  sheet.Build({0, 1, 8});
  sheet.SetRecMax(10000);
  sheet.SetRecCnt(10000);
  sheet.JumpTo(0, 1);
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
