// The page dialog: the mode word, the refusal of pages in use (locks of other
// processes, of other lock services, of the service handed in), and the
// drawing sheet's padlock, warning and preview.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include <functional>

#include "page/ui/file_sheet.h"
#include "tests/page/ui/page_store.h"
#include "tests/select/ui/dialog_driver.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

class PageDlgTest : public testing::Test, public PageStore {
 protected:
  VexaFolderLock lock{&env()};
  FolMember drawing = Write(std::vector<PageSpec>(6));
};

TEST_F(PageDlgTest, ModeWordDecidesHowAPageIsChosen) {
  enum class Act { kButton, kActivate, kEscape };
  struct Case {
    int mode;
    bool drawShown;
    Act act;
    int result;
  };
  const Case cases[] = {
      {0, true, Act::kButton, 2},        {0, true, Act::kActivate, 2},
      {0, true, Act::kEscape, -1},       {0x40, false, Act::kActivate, -1},
      {0x42, false, Act::kActivate, -1}, {2, false, Act::kActivate, 2},
      {0x80, true, Act::kButton, 2},     {0xC0, true, Act::kButton, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " act " << static_cast<int>(c.act));
    WhenPageDialogShown([&](PageDlg& dialog) {
      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ﾍﾟｰｼﾞの一覧"));
      EXPECT_FALSE(dialog.GetDlgItem(IDOK)->isVisible());
      QWidget* draw = dialog.GetDlgItem(kIdDrawPage);
      EXPECT_EQ(draw->isVisible(), c.drawShown);
      EXPECT_EQ(draw->isEnabled(), c.drawShown);
      ClickPage(dialog, 0, 2, c.act == Act::kActivate);
      if (c.act == Act::kButton) QTest::mouseClick(draw, Qt::LeftButton);
      if (c.act == Act::kEscape) QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(SelectPageName(nullptr, env(), c.mode, &drawing, &lock), c.result);
  }
  // Without a drawing or a lock service there is nothing to show.
  EXPECT_EQ(SelectPageName(nullptr, env(), 0, nullptr, &lock), -1);
  EXPECT_EQ(SelectPageName(nullptr, env(), 0, &drawing, nullptr), -1);
}

// Who holds which lock while the dialog opens, and what that refuses: while
// the drawing test answers "in use" every page is refused; one's own page
// lock refuses that page only.
TEST_F(PageDlgTest, PagesInUseAreRefused) {
  const std::string folder = drawing.path;
  const auto lockPage3 = [this, folder] {
    return (new VexaFolderLock(&env()))->LockPage(folder.c_str(), 3) != 0;
  };
  struct Case {
    const char* holder;
    std::function<std::unique_ptr<HoldingChild>()> take;
    bool drawingInUse;
    int result;  // choosing page 3, then page 0
  };
  VexaFolderLock otherService(&env());
  const Case cases[] = {
      {"drawing, other process",
       [&] { return std::make_unique<HoldingChild>(LockDrawing(env(), folder)); }, true, -1},
      {"page 3, other process", [&] { return std::make_unique<HoldingChild>(lockPage3); }, true,
       -1},
      {"drawing, other lock service",
       [&] {
         EXPECT_EQ(otherService.LockZmn(folder.c_str()), 1);
         return nullptr;
       },
       true, -1},
      {"page 3, other lock service",
       [&] {
         EXPECT_EQ(otherService.LockPage(folder.c_str(), 3), 1);
         return nullptr;
       },
       true, -1},
      {"page 3, the service handed in",
       [&] {
         EXPECT_EQ(lock.LockPage(folder.c_str(), 3), 1);
         return nullptr;
       },
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holder);
    std::unique_ptr<HoldingChild> holder = c.take();
    if (holder) {
      ASSERT_TRUE(holder->holding());
    }
    MessageRecorder messages;
    WhenPageDialogShown([&](PageDlg& dialog) {
      EXPECT_EQ(dialog.GetFileSheet()->IsDrawingLocked(), c.drawingInUse ? 1 : 0);
      EXPECT_EQ(dialog.GetPageSheet()->IsPageLocked(3),
                std::string(c.holder).starts_with("page") ? 1 : 0);
      for (int col : {3, 0}) {
        ClickPage(dialog, 0, col);
        QTest::mouseClick(dialog.GetDlgItem(kIdDrawPage), Qt::LeftButton);
        if (dialog.isVisible()) {
          EXPECT_EQ(messages.shown.size(), col == 3 ? 1u : 2u);
        }
      }
    });
    EXPECT_EQ(SelectPageName(nullptr, env(), 0, &drawing, &lock), c.result);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, "このページは編集中です。");
    EXPECT_EQ(messages.shown[0].title, "ページ編集");
    EXPECT_EQ(messages.shown[0].type, MB_OK | MB_ICONEXCLAMATION);
    otherService.UnLockAll();
    lock.UnLockAll();
  }
}

// The drawing sheet's padlock, warning and preview for file states 0, 1
// (no preview) and 2, checked in pixels from the cell's rectangle.
TEST_F(PageDlgTest, DrawingSheetWarnsOfItsIndexFile) {
  PageSpec first;
  first.preview = QSize(80, 60);
  FolMember shown = Write({first}, 2);
  struct Case {
    int fileState;
    const char* warning;
    bool preview;
  };
  const Case cases[] = {
      {0, "", true},
      {1, "ﾌｧｲﾙが壊れている可能性があります。ﾍﾟｰｼﾞ一覧で詳細を確認してください。", false},
      {2, "ﾌｧｲﾙ属性が読み取り専用になっています。", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileState);
    shown.fileState = c.fileState;
    PageDlg dialog(nullptr, &env(), &shown, &lock, 0);
    dialog.InitDialog();
    dialog.show();
    FileSheet& sheet = *dialog.GetFileSheet();
    EXPECT_EQ(FileSheet::FileStateWarning(c.fileState), c.warning);
    const QImage image = sheet.viewport()->grab().toImage();
    const QRect cell = sheet.CellRect(0, 0);
    const int L = cell.left();
    const int T = cell.top();
    const int R = cell.left() + cell.width();
    const int B = cell.top() + cell.height();
    const auto at = [&](int x, int y) { return image.pixelColor(x, y).rgb() & 0xFFFFFF; };
    // The open padlock at L+23, T+103 (20 x 20): body, no closed shackle.
    EXPECT_EQ(at(L + 23 + 8, T + 103 + 16), 0xE0B000u);
    EXPECT_NE(at(L + 23 + 5, T + 103 + 6), 0u);
    // The preview centred in R-H-20, T, R, B.
    const int H = B - T;
    const int x = R - H - 20 + (H + 20 - 80) / 2;
    const int y = T + (H - 60) / 2;
    EXPECT_EQ(at(x + 40, y + 30) == 0xE02020u, c.preview);
    EXPECT_EQ(at(x, y + 30) == 0u, c.preview);
  }
}

}  // namespace
}  // namespace vexa::test
