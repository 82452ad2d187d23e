// What the grid tells the dialog around it: the drawing under the cursor
// (the info panel follows it), whether that drawing has backups (the dialog's
// backup button follows it; a drawing's folder is listed once per load, never
// on the cursor move itself), and a reload that takes the records away.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>

#include <filesystem>
#include <future>
#include <memory>

#include "host/ui/loading_window.h"
#include "select/ui/file_info_dlg_ids.h"
#include "tests/select/ui/grid_fixture.h"
#include "tests/support/fault_env.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/image_frame.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa::test {
namespace {

constexpr unsigned long kNoDrawingGrey = 0x808080;

class SheetSignals : public testing::Test, public GridFixture {
 protected:
  // Drawings 1 to 3, newest first (3, 2, 1), each with a preview (so that
  // finding it lists no folder); drawing 2 has a backup and a larger one.
  void SetUp() override {
    for (int number = 1; number <= 3; ++number) {
      DrawingSpec spec;
      spec.updated = 1700000000 + number;
      folders_.push_back(Drawing(number, spec, number == 2 ? QSize(12, 8) : QSize(6, 4)));
    }
    WriteDrawing(folders_[1] + "/BKUP.001");
    Load();
    panel_.Create(kTemplateInfoPanel, nullptr);
    sheet_.resize(800, 400);
    sheet_.Init(&list(), &panel_, kDefaultItems.data(), static_cast<int>(kDefaultItems.size()), 2);
  }
  void MoveTo(int number) { sheet_.JumpTo(sheet_.FindRecord(number - 1, kApp), 1); }
  std::string PanelNumber() { return panel_.Item<QLineEdit>(kIdInfoNumber)->text().toStdString(); }

  std::vector<std::string> folders_;
  FileInfoDlg panel_{&list()};
  FileSelSheet sheet_{FindCriteria{}};
};

TEST_F(SheetSignals, ThePanelFollowsTheCurrentRowAndForgetsARemovedLoad) {
  // Init started on drawing 2: the panel shows it with its preview.
  EXPECT_EQ(PanelNumber(), "2");
  EXPECT_EQ(panel_.GetBitmap().size(), QSize(12, 8));
  EXPECT_NE(panel_.GetImageFrame()->BackgroundColor(), kNoDrawingGrey);

  QSignalSpy drawings(&sheet_, &FileSelSheet::currentDrawingChanged);
  MoveTo(3);
  ASSERT_EQ(drawings.count(), 1);
  EXPECT_EQ(drawings[0][0].value<const FolMember*>(), sheet_.GetRowMember(0));
  EXPECT_EQ(PanelNumber(), "3");
  EXPECT_EQ(panel_.GetBitmap().size(), QSize(6, 4));

  // A reload: the records the panel showed are gone, so it shows nothing
  // until the records are rebuilt and the cursor is placed again.
  list().Reload();
  sheet_.AttachList(&list());
  EXPECT_EQ(panel_.GetMember(), nullptr);
  EXPECT_EQ(PanelNumber(), "");
  EXPECT_EQ(panel_.GetImageFrame()->BackgroundColor(), kNoDrawingGrey);
  sheet_.Refresh();
  EXPECT_EQ(panel_.GetMember(), sheet_.GetRowMember(0));
  EXPECT_EQ(PanelNumber(), "3");
}

TEST_F(SheetSignals, BackupsAreListedOncePerLoadAfterTheCursorMoveAndAgainAfterAReload) {
  QSignalSpy backups(&sheet_, &FileSelSheet::currentHasBackups);
  platform::FaultEnv counter;
  platform::ScopedEnv scoped(counter);
  auto listings = [&] { return counter.Calls(platform::Op::ListDir); };

  // Moving reads nothing; the answer is "none" until the event loop lists
  // the folder.
  MoveTo(1);
  MoveTo(3);
  EXPECT_EQ(listings(), 0);
  ASSERT_EQ(backups.count(), 2);
  EXPECT_FALSE(backups.takeLast()[0].toBool());
  // A backup made after the load, before the folder was listed, is found;
  // only the drawing the cursor rests on is listed.
  WriteDrawing(folders_[2] + "/BKUP");
  QCoreApplication::processEvents();
  EXPECT_EQ(listings(), 1);
  ASSERT_EQ(backups.count(), 2);
  EXPECT_TRUE(backups.takeLast()[0].toBool());

  // Drawing 2 was listed by Init; coming back to a listed drawing answers at
  // once without a listing, even when its folder changed meanwhile: the
  // answer holds until the next load.
  std::filesystem::remove_all(folders_[1] + "/BKUP.001");
  backups.clear();
  MoveTo(2);
  MoveTo(3);
  QCoreApplication::processEvents();
  EXPECT_EQ(listings(), 1);
  ASSERT_EQ(backups.count(), 2);
  EXPECT_TRUE(backups[0][0].toBool());
  EXPECT_TRUE(backups[1][0].toBool());

  // A reload forgets every answer: drawing 2 is listed again.
  list().Reload();
  sheet_.AttachList(&list());
  sheet_.Refresh();
  MoveTo(2);
  backups.clear();
  const int loaded = listings();
  QCoreApplication::processEvents();
  EXPECT_EQ(listings(), loaded + 1);
  ASSERT_EQ(backups.count(), 1);
  EXPECT_FALSE(backups[0][0].toBool());
}

// Another dialog reading on a worker owns the environment: a lookup due
// meanwhile lists nothing and stays due until the worker has ended.
TEST_F(SheetSignals, NoBackupIsListedWhileAWorkerHoldsTheEnvironment) {
  auto* lookup = sheet_.findChild<QTimer*>(QStringLiteral("backupLookup"));
  ASSERT_NE(lookup, nullptr);
  platform::FaultEnv counter;
  platform::ScopedEnv scoped(counter);
  MoveTo(3);
  ASSERT_TRUE(lookup->isActive());
  std::promise<void> uiRan;
  // The lookup's zero timer was started first, so it fires before this one.
  QTimer::singleShot(0, [&] { uiRan.set_value(); });
  ASSERT_TRUE(RunWithProgress(nullptr, QStringLiteral("図面"),
                              [&](LoadState&) { uiRan.get_future().wait(); }));
  EXPECT_EQ(counter.Calls(platform::Op::ListDir), 0);
  EXPECT_TRUE(lookup->isActive());
  QSignalSpy backups(&sheet_, &FileSelSheet::currentHasBackups);
  QMetaObject::invokeMethod(lookup, "timeout");
  EXPECT_EQ(counter.Calls(platform::Op::ListDir), 1);
  ASSERT_EQ(backups.count(), 1);
}

TEST_F(SheetSignals, AFreeNumberLeavesTheBackupAnswerAlone) {
  FileAddSheet add{FindCriteria{}};
  add.Init(&list(), nullptr, kDefaultItems.data(), static_cast<int>(kDefaultItems.size()), 2);
  QSignalSpy backups(&add, &FileSelSheet::currentHasBackups);
  QSignalSpy drawings(&add, &FileSelSheet::currentDrawingChanged);
  add.JumpTo(add.FindRecord(3, 0), 1);  // number 4, free
  QCoreApplication::processEvents();
  ASSERT_EQ(drawings.count(), 1);
  EXPECT_EQ(drawings[0][0].value<const FolMember*>(), nullptr);
  EXPECT_EQ(backups.count(), 0);
}

}  // namespace
}  // namespace vexa::test
