// The page dialog while it is open: the timer's look at the locks turns a
// page's padlock, and the drawing's, open or shut when another holder frees or
// takes the page or the drawing, in the answers the dialog's checks read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
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

// The tool tip of the cell under the mouse, as the view shows it.
QString ToolTipAt(SxGrpSheet& sheet, int row, int col) {
  // Qt hides a shown tip after a delay; the last question's tip must not
  // answer this one.
  QToolTip::hideText();
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
  const QPoint at = sheet.CellRect(row, col).center();
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
  EXPECT_EQ(ToolTipAt(sheet, 0, 0), QString());
  EXPECT_EQ(ToolTipAt(sheet, 0, 2), QString());
  const QString tip = ToolTipAt(sheet, 0, 1);
  EXPECT_TRUE(tip.startsWith(QString::fromUtf8("使用中: "))) << tip.toStdString();
  // The drawing is in use through its page, and its padlock says by whom.
  EXPECT_EQ(ToolTipAt(*dialog.GetFileSheet(), 0, 0), tip);
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

  EXPECT_TRUE(ToolTipAt(*dialog.GetFileSheet(), 0, 0).startsWith(QString::fromUtf8("使用中: ")));

  other.UnLockZmn(path.c_str());
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 1) << "nothing is asked between surveys";
  Survey(pages);
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 0) << "freed while the dialog was open";
  EXPECT_EQ(ToolTipAt(*dialog.GetFileSheet(), 0, 0), QString());

  ASSERT_EQ(other.LockPage(path.c_str(), 1), 1);
  Survey(pages);
  EXPECT_EQ(drawingSheet.IsDrawingLocked(), 1) << "a page taken by another holder: in use";
  EXPECT_EQ(pages.IsPageLocked(0), 0);
  EXPECT_EQ(pages.IsPageLocked(1), 1);
}

}  // namespace
}  // namespace vexa::test
