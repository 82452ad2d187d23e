// The selection dialog's entry points over a load that does not end: the
// loading window is there with the count and a cancel that returns as the
// dialog's Cancel does, before the load ends; a load that goes on to its end
// gives the dialog and the choice as without the window. The load is held at
// a gate the test opens (through the platform fault seam), not by timing.
#include "host/ui/loading_window.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <memory>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/fault_env.h"
#include "tests/support/open_gate.h"
#include "tests/support/store_fixture.h"
#include "vexafol/dialogs.h"

namespace vexa::test {
namespace {

using Paths = std::vector<std::string>;

class ListLoadingTest : public ::testing::Test {
 protected:
  ListLoadingTest() {
    for (int n = 1; n <= 12; ++n) drawings_.push_back(store_.WriteAppDrawing(0x1, n));
  }
  StoreFixture store_;
  std::vector<std::string> drawings_;
  platform::FaultEnv faults_;
};

TEST_F(ListLoadingTest, CancelWhileTheLoadIsHeldReturnsAsCancelInEveryForm) {
  const platform::ScopedEnv scoped(faults_);
  for (int form = 0; form < 3; ++form) {
    SCOPED_TRACE(form);
    faults_.Clear();
    OpenGate gate(faults_, "INDEX.VXF");
    QString shown;
    bool reachedFirst = false;
    Answer<LoadingWindow> cancel([&](LoadingWindow& window) {
      reachedFirst = gate.Reached();
      shown = window.ProgressText();
      window.findChild<QPushButton*>()->click();
      // Cancelled before the held read ended: the window waits for it.
      EXPECT_TRUE(window.isVisible());
      gate.Open();
    });
    Answer<FileDlgBase> never([](FileDlgBase&) { ADD_FAILURE() << "the dialog came"; });
    Paths paths = {drawings_[2]};
    std::string path = "p", command = "c";
    switch (form) {
      case 0:
        EXPECT_EQ(
            SelectFolderName(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr, 1),
            0);
        EXPECT_TRUE(paths.empty());
        break;
      case 1:
        EXPECT_EQ(SelectFolderName2(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr,
                                    1, 0),
                  2);
        EXPECT_TRUE(paths.empty());
        break;
      default:
        EXPECT_EQ(SelectFolderName(nullptr, store_.env(), 0x1, &path, &command), 0);
        EXPECT_EQ(path + command, "");
    }
    EXPECT_TRUE(cancel.seen());
    EXPECT_TRUE(reachedFirst);
    EXPECT_EQ(shown, QString::fromUtf8("0 / 12 図面"));
  }
}

TEST_F(ListLoadingTest, ALoadThatEndsGivesTheDialogAndTheSameChoice) {
  auto choose = [&] {
    Answer<FileDlgBase> confirm([](FileDlgBase& dialog) { ConfirmDrawings(dialog, {7, 2}); });
    Paths paths;
    EXPECT_EQ(SelectFolderName(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr, 1),
              1);
    EXPECT_TRUE(confirm.seen());
    return paths;
  };
  const Paths direct = choose();
  ASSERT_EQ(direct, (Paths{drawings_[6], drawings_[1]}));

  const platform::ScopedEnv scoped(faults_);
  OpenGate gate(faults_, "INDEX.VXF");
  Answer<LoadingWindow> wait([&](LoadingWindow& window) {
    gate.Open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));  // closed by itself
  });
  EXPECT_EQ(choose(), direct);
  EXPECT_TRUE(wait.seen());
}

}  // namespace
}  // namespace vexa::test
