// The page sheet: cells four to a row, what each cell shows of its page file,
// and where a cell's parts are painted.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/page/ui/page_store.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

class PageSheetTest : public testing::Test, public PageStore {
 protected:
  VexaFolderLock lock{&env()};
};

TEST_F(PageSheetTest, CellsHoldPagesFourToARowAndOnlyThoseCanBeChosen) {
  struct Case {
    int pages;
    int rows;
  };
  for (const Case c : {Case{0, 1}, Case{1, 1}, Case{4, 1}, Case{5, 2}, Case{6, 2}}) {
    SCOPED_TRACE(c.pages);
    const FolMember drawing = Write(std::vector<PageSpec>(c.pages), c.pages + 1);
    Answer<PageDlg> answer([&](PageDlg& dialog) {
      PageSheet& sheet = *dialog.GetPageSheet();
      int columns = 0;
      int rows = 0;
      sheet.GetSheetInfo(&columns, &rows, nullptr);
      EXPECT_EQ(columns, 4);
      EXPECT_EQ(rows, c.rows);
      for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 4; ++col) {
          EXPECT_EQ(sheet.SetSelect(row, col), row * 4 + col < c.pages ? 1 : 0) << row << col;
        }
      }
      // The last page by the mouse, then the draw button; with no page the
      // button does nothing and the dialog stays.
      if (c.pages > 0) ClickPage(dialog, (c.pages - 1) / 4, (c.pages - 1) % 4);
      QTest::mouseClick(dialog.GetDlgItem(kIdDrawPage), Qt::LeftButton);
    });
    EXPECT_EQ(SelectPageName(nullptr, env(), 0, &drawing, &lock), c.pages - 1);
  }
}

TEST_F(PageSheetTest, CellsShowWhatEachPageFileHolds) {
  std::vector<PageSpec> specs(8);
  specs[0] = {100, "縦断図", "縦断", 1023, {}, false};
  specs[1] = {1, "平面図", "", 1024, {}, false};
  specs[2] = {4, "横断図", "横断", 1048576, {}, false};
  specs[3].unopenable = true;
  specs[4].size = 1048575;
  specs[5].size = 1536;
  specs[6].size = 3145728;
  specs[7].caption = "控え";
  const FolMember drawing = Write(specs);
  chmod(drawing.GetPageFile(env(), 0, 7).c_str(), 0444);

  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  const PageSheet& sheet = *dialog.GetPageSheet();
  struct Shown {
    const char* header;
    const char* name;
    const char* size;
    int state;
  };
  const Shown expected[] = {
      {"1:縦断", "縦断図", "1023.000 ﾊﾞｲﾄ", 0},
      {"2:", "平面図", "1.00 KB", 0},  // version 1 has no caption
      {"3:横断", "横断図", "1.00 MB", 0},
      {"4:", "", "0.000 ﾊﾞｲﾄ", PageSheet::kStateNoFile},
      {"5:", "平面図", "1024.00 KB", 0},
      {"6:", "平面図", "1.50 KB", 0},
      {"7:", "平面図", "3.00 MB", 0},
      {"8:控え", "平面図", nullptr, PageSheet::kStateReadOnly},
  };
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const PageSheet::Page* page = sheet.GetPage(i);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->headerText, expected[i].header);
    EXPECT_EQ(page->name, expected[i].name);
    if (expected[i].size) {
      EXPECT_EQ(page->sizeText, expected[i].size);
    }
    EXPECT_EQ(page->state, expected[i].state);
  }
  EXPECT_EQ(sheet.GetPage(1)->version, 1);
  EXPECT_EQ(sheet.GetPage(2)->version, 4);
  EXPECT_EQ(PageSheet::SizeText(512), "512.000 ﾊﾞｲﾄ");
}

// Where a painted cell puts its header box, padlock and preview, in pixels
// of the sheet, from the cell's left, top, right and bottom.
TEST_F(PageSheetTest, PaintsEachPartInItsRectangle) {
  PageSpec framed;
  framed.preview = QSize(60, 40);
  const FolMember drawing = Write({framed, framed});
  ASSERT_EQ(lock.LockPage(drawing.path.c_str(), 1), 1);
  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  dialog.show();
  PageSheet& sheet = *dialog.GetPageSheet();
  sheet.SetSelect(0, 3);  // keep the selection mark off the cells checked
  const QImage image = sheet.viewport()->grab().toImage();
  const auto at = [&](int x, int y) { return image.pixelColor(x, y).rgb() & 0xFFFFFF; };
  constexpr QRgb kBlack = 0x000000;
  constexpr QRgb kPadlockBody = 0xE0B000;
  constexpr QRgb kPicture = 0xE02020;

  for (int col : {0, 1}) {
    SCOPED_TRACE(col);
    const QRect cell = sheet.CellRect(0, col);
    const int L = cell.left();
    const int T = cell.top();
    const int R = cell.left() + cell.width();
    const int B = cell.top() + cell.height();
    // Header box L+3, T+3, L+103, T+21: its 2-pixel line and nothing beyond.
    EXPECT_EQ(at(L + 3, T + 3), kBlack);
    EXPECT_EQ(at(L + 4, T + 12), kBlack);
    EXPECT_EQ(at(L + 102, T + 20), kBlack);
    EXPECT_NE(at(L + 95, T + 12), kBlack);
    EXPECT_NE(at(L + 104, T + 12), kBlack);
    // Padlock L+108, T+1, L+128, T+23: 20 x 20, centred, so from T+2. Its
    // body lies at rows 9 to 18; the closed shackle's left leg at column 5.
    EXPECT_EQ(at(L + 108 + 8, T + 2 + 16), kPadlockBody);
    EXPECT_EQ(at(L + 108 + 5, T + 2 + 6) == kBlack, col == 1);
    // Preview L+3, T+63, R-3, B-3: the 60 x 40 picture centred, framed.
    const int x = L + 3 + (R - 3 - (L + 3) - 60) / 2;
    const int y = T + 63 + (B - 3 - (T + 63) - 40) / 2;
    EXPECT_EQ(at(x + 30, y + 20), kPicture);
    EXPECT_EQ(at(x, y + 20), kBlack);
    EXPECT_EQ(at(x + 30, y), kBlack);
    EXPECT_NE(at(x - 3, y + 20), kBlack);
  }
}

}  // namespace
}  // namespace vexa::test
