// The page sheet while it is open: the timer's look at the page locks turns a
// padlock open or shut when another holder frees or takes the page, in the
// answers the dialog's checks read.
#include <gtest/gtest.h>

#include <QTimer>

#include "tests/page/ui/page_store.h"

namespace vexa::test {
namespace {

class PageSheetLocks : public testing::Test, public PageStore {
 protected:
  VexaFolderLock lock{&env()};
};

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
  QTimer* timer = sheet.findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(sheet.IsPageLocked(1), 0) << "freed while the dialog was open";
  EXPECT_EQ(sheet.IsPageLocked(2), 1) << "taken while the dialog was open";
}

}  // namespace
}  // namespace vexa::test
