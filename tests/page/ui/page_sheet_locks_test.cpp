// The page dialog while it is open: the timer's look at the locks turns a
// page's padlock, and the drawing's, open or shut when another holder frees or
// takes the page or the drawing, in the answers the dialog's checks read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

#include "page/ui/file_sheet.h"
#include "tests/page/ui/page_store.h"

namespace vexa::test {
namespace {

class PageSheetLocks : public testing::Test, public PageStore {
 protected:
  VexaFolderLock lock{&env()};
};

// The timer's look, as its period would start it.
void Survey(PageSheet& sheet) {
  QTimer* timer = sheet.findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  QMetaObject::invokeMethod(timer, "timeout");
}

TEST_F(PageSheetLocks, PadlocksFollowOtherHoldersWhileOpen) {
  const FolMember drawing = Write(std::vector<PageSpec>(3));
  const std::string path = drawing.GetPath(env(), 0);
  VexaFolderLock other(&env());
  ASSERT_EQ(other.LockPage(path.c_str(), 1), 1);
  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  dialog.show();
  PageSheet& sheet = *dialog.GetPageSheet();
  EXPECT_EQ(sheet.IsPageLocked(1), 1);
  EXPECT_EQ(sheet.IsPageLocked(2), 0);

  other.UnLockPage(path.c_str(), 1);
  ASSERT_EQ(other.LockPage(path.c_str(), 2), 1);
  Survey(sheet);
  EXPECT_EQ(sheet.IsPageLocked(1), 0) << "freed while the dialog was open";
  EXPECT_EQ(sheet.IsPageLocked(2), 1) << "taken while the dialog was open";
}

// The tool tip of the page under the mouse, as the view shows it.
QString ToolTipAt(PageSheet& sheet, int page) {
  const QPoint at = sheet.CellRect(page / 4, page % 4).center();
  QHelpEvent help(QEvent::ToolTip, at, sheet.viewport()->mapToGlobal(at));
  QApplication::sendEvent(sheet.viewport(), &help);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST_F(PageSheetLocks, APageInUseNamesItsHolderInItsToolTip) {
  const FolMember drawing = Write(std::vector<PageSpec>(3));
  VexaFolderLock other(&env());
  ASSERT_EQ(other.LockPage(drawing.GetPath(env(), 0).c_str(), 1), 1);
  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  dialog.show();
  PageSheet& sheet = *dialog.GetPageSheet();
  EXPECT_EQ(ToolTipAt(sheet, 0), QString());
  EXPECT_EQ(ToolTipAt(sheet, 2), QString());
  const QString tip = ToolTipAt(sheet, 1);
  EXPECT_TRUE(tip.startsWith(QString::fromUtf8("使用中: "))) << tip.toStdString();
}

TEST_F(PageSheetLocks, TheDrawingPadlockFollowsTheSameSurvey) {
  const FolMember drawing = Write(std::vector<PageSpec>(2));
  const std::string path = drawing.GetPath(env(), 0);
  VexaFolderLock other(&env());
  ASSERT_EQ(other.LockZmn(path.c_str()), 1);
  PageDlg dialog(nullptr, &env(), &drawing, &lock, 0);
  dialog.InitDialog();
  dialog.show();
  const FileSheet& drawingSheet = *dialog.GetFileSheet();
  PageSheet& pages = *dialog.GetPageSheet();
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 1);

  other.UnLockZmn(path.c_str());
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 1) << "nothing is asked between surveys";
  Survey(pages);
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 0) << "freed while the dialog was open";

  ASSERT_EQ(other.LockPage(path.c_str(), 1), 1);
  Survey(pages);
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 1) << "a page taken by another holder: in use";
  EXPECT_EQ(pages.IsPageLocked(0), 0);
  EXPECT_EQ(pages.IsPageLocked(1), 1);
}

}  // namespace
}  // namespace vexa::test
