// The page dialog over a read of its pages that does not end: the loading
// window is there with the count and a cancel that returns as the dialog's
// Cancel does, before the read ends; a read that goes on to its end gives the
// dialog and the same choice. The read is held at a gate the test opens.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>

#include "host/ui/loading_window.h"
#include "tests/page/ui/page_store.h"
#include "tests/select/ui/dialog_driver.h"
#include "tests/support/fault_env.h"
#include "tests/support/open_gate.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

class PageLoadingTest : public testing::Test, public PageStore {
 protected:
  VexaFolderLock lock{&env()};
  FolMember drawing = Write(std::vector<PageSpec>(6));
  platform::FaultEnv faults;
};

TEST_F(PageLoadingTest, CancelWhileThePagesAreHeldReturnsAsCancel) {
  const platform::ScopedEnv scoped(faults);
  OpenGate gate(faults, drawing.GetPageFile(env(), 0, 3));
  QString shown;
  bool reached = false;
  Answer<LoadingWindow> cancel([&](LoadingWindow& window) {
    reached = gate.Reached();
    shown = window.ProgressText();
    window.findChild<QPushButton*>()->click();
    EXPECT_TRUE(window.isVisible());  // it waits for the held read
    gate.Open();
  });
  Answer<PageDlg> never([](PageDlg&) { ADD_FAILURE() << "the dialog came"; });
  EXPECT_EQ(SelectPageName(nullptr, env(), 0, &drawing, &lock), -1);
  EXPECT_TRUE(cancel.seen());
  EXPECT_TRUE(reached);
  EXPECT_EQ(shown, QString::fromUtf8("3 / 6 ページ"));
}

TEST_F(PageLoadingTest, AReadThatEndsGivesTheDialogAndTheSameChoice) {
  auto choose = [&] {
    Answer<PageDlg> pick([](PageDlg& dialog) {
      ClickPage(dialog, 1, 0);
      QTest::mouseClick(dialog.GetDlgItem(kIdDrawPage), Qt::LeftButton);
    });
    const int page = SelectPageName(nullptr, env(), 0, &drawing, &lock);
    EXPECT_TRUE(pick.seen());
    return page;
  };
  const int direct = choose();
  ASSERT_EQ(direct, 4);

  const platform::ScopedEnv scoped(faults);
  OpenGate gate(faults, drawing.GetPageFile(env(), 0, 0));
  Answer<LoadingWindow> wait([&](LoadingWindow& window) {
    gate.Open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));  // closed by itself
  });
  EXPECT_EQ(choose(), direct);
  EXPECT_TRUE(wait.seen());
}

}  // namespace
}  // namespace vexa::test
