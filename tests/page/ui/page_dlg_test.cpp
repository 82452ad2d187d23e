// The page dialog: the mode word, the refusal of pages in use (locks of other
// processes, of other lock services, of the service handed in), and the
// drawing sheet's padlock, warning and preview.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>

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
  // The kind word and the flag word are compared whole: page-only with
  // view-only is no view-only word, and kind word 6 is no delete kind here.
  const Case cases[] = {
      {kModeOpen, true, Act::kButton, 2},
      {kModeOpen, true, Act::kActivate, 2},
      {kModeOpen, true, Act::kEscape, -1},
      {kModeViewOnly, false, Act::kActivate, -1},
      {kModeViewOnly | kModeDelete, false, Act::kActivate, -1},
      {kModeDelete, false, Act::kActivate, 2},
      {kModeDelete | 4, true, Act::kButton, 2},
      {kModePageOnly, true, Act::kButton, 2},
      {kModePageOnly | kModeViewOnly, true, Act::kButton, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " act " << static_cast<int>(c.act));
    Answer<PageDlg> answer([&](PageDlg& dialog) {
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

// The two sheets lie on the template's rectangles (dialog units of the
// dialog's font), inside the fixed window, and nothing hidden stands in for
// them.
TEST_F(PageDlgTest, SheetsLieOnTheTemplateRectangles) {
  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  dialog.show();
  const QRect drawingSheet = dialog.DluRect(7, 22, 364, 86);
  const QRect pageSheet = dialog.DluRect(7, 113, 364, 255);
  EXPECT_EQ(dialog.GetFileSheet()->geometry(), drawingSheet);
  EXPECT_EQ(dialog.GetPageSheet()->geometry(), pageSheet);
  EXPECT_TRUE(dialog.rect().contains(drawingSheet.united(pageSheet)));
  EXPECT_EQ(dialog.size(), dialog.DluRect(0, 0, 378, 373).size());
  EXPECT_TRUE(dialog.findChildren<QLabel*>().isEmpty());
}

// Who holds which lock while the dialog opens, and what that refuses: while
// the drawing test answers "in use" (the drawing, or a page below 500 held by
// another) every page is refused; a page lock of 500 or above, or one's own,
// refuses that page only.
TEST_F(PageDlgTest, PagesInUseAreRefused) {
  FolMember manyPages = drawing;  // page files 6 and above are missing
  manyPages.header.pageCount = 501;
  const std::string folder = drawing.path;
  const auto lockPageInChild = [this, folder](int page) {
    return std::make_unique<HoldingChild>([this, folder, page] {
      return (new VexaFolderLock(&env()))->LockPage(folder.c_str(), page) != 0;
    });
  };
  VexaFolderLock otherService(&env());
  const auto lockPageBy = [folder](VexaFolderLock& service, int page) {
    EXPECT_EQ(service.LockPage(folder.c_str(), page), 1);
    return std::unique_ptr<HoldingChild>();
  };
  struct Case {
    const char* holder;
    int page;  // the page locked, and chosen before page 0
    std::function<std::unique_ptr<HoldingChild>(int)> take;
    bool drawingInUse;
  };
  const Case cases[] = {
      {"drawing, other process", 3,
       [&](int) { return std::make_unique<HoldingChild>(LockDrawing(env(), folder)); }, true},
      {"page 499, other process", 499, lockPageInChild, true},
      {"page 500, other process", 500, lockPageInChild, false},
      {"drawing, other lock service", 3,
       [&](int) {
         EXPECT_EQ(otherService.LockZmn(folder.c_str()), 1);
         return nullptr;
       },
       true},
      {"page 3, other lock service", 3, [&](int page) { return lockPageBy(otherService, page); },
       true},
      {"page 500, other lock service", 500,
       [&](int page) { return lockPageBy(otherService, page); }, false},
      {"page 499, the service handed in", 499, [&](int page) { return lockPageBy(lock, page); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holder);
    std::unique_ptr<HoldingChild> holder = c.take(c.page);
    if (holder) {
      ASSERT_TRUE(holder->holding());
    }
    const bool pageLocked = std::string(c.holder).starts_with("page");
    MessageRecorder messages;
    Answer<PageDlg> answer([&](PageDlg& dialog) {
      EXPECT_EQ(dialog.GetFileSheet()->IsDrawingLocked(), c.drawingInUse ? 1 : 0);
      EXPECT_EQ(dialog.GetPageSheet()->IsPageLocked(c.page), pageLocked ? 1 : 0);
      EXPECT_EQ(dialog.GetPageSheet()->IsPageLocked(0), 0);
      for (int page : {c.page, 0}) {
        ASSERT_EQ(dialog.GetPageSheet()->SetSelect(page / 4, page % 4), 1);
        QTest::mouseClick(dialog.GetDlgItem(kIdDrawPage), Qt::LeftButton);
        if (dialog.isVisible()) {
          EXPECT_EQ(messages.shown.size(), page == c.page ? 1u : 2u);
        }
      }
    });
    EXPECT_EQ(SelectPageName(nullptr, env(), 0, c.page < 6 ? &drawing : &manyPages, &lock),
              c.drawingInUse ? -1 : 0);
    const std::string inUse =
        "ページ編集/このページは編集中です。/" + std::to_string(MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(messages.Described(), std::vector<std::string>(c.drawingInUse ? 2 : 1, inUse));
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
