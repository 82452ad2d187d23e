// Restoring from the selection dialog, through the entry point as a user
// would: the restore buttons open a second dialog over the recycled drawings
// or the current drawing's backups, and the folders marked there become the
// entry point's result; the refusals and the "nothing to restore" messages.
#include <gtest/gtest.h>

#include <QHeaderView>

#include <algorithm>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "tests/support/when_shown.h"
#include "vexafol/dialogs.h"
#include "vexafol/recycle.h"

namespace vexa::test {
namespace {

using Paths = std::vector<std::string>;
constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;

class RestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int n = 1; n <= 3; ++n) {
      DrawingSpec spec;
      spec.title = "図面" + std::to_string(n);
      store_.WriteAppDrawing(0x1, n, spec);
    }
  }
  // Deletes drawing n of the general application.
  void Delete(int n) {
    VexaFolderList list(store_.env());
    list.Load(0x1, 0);
    for (int i = 0; i < list.GetFolderNum(); ++i) {
      const FolMember* member = list.GetFolderMember(i);
      if (member->GetFolderNo(store_.env()) != n - 1) continue;
      std::string error;
      ASSERT_TRUE(MoveToRecycle(store_.env(), *member, error)) << error;
    }
  }
  // The open kind with act; returns the entry point's result and paths.
  int Run(std::function<void(FileDlgBase&)> act, Paths& paths) {
    Answer<FileDlgBase> answer(std::move(act));
    return SelectFolderName(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr, 1);
  }

  StoreFixture store_;
};

TEST_F(RestoreTest, CancelKeepsTheSelectionDialogOpen) {
  Delete(1);
  Paths paths;
  bool stillOpen = false;
  Run(
      [&](FileDlgBase& dialog) {
        Answer<RestoreSelDlg> cancel([](RestoreSelDlg& restore) { restore.EndDialog(IDCANCEL); });
        ClickControl(dialog, kIdRestore);
        stillOpen = dialog.isVisible();
      },
      paths);
  EXPECT_TRUE(stillOpen);
}

// Marked in either order, the recycled folders come back in that order, not
// in the grid's or the list's.
TEST_F(RestoreTest, MarkedDeletedDrawingsBecomeTheResultInMarkingOrder) {
  Delete(1);
  Delete(3);
  const std::vector<RecycleSlot> recycled = ListRecycleSlots(store_.env());
  ASSERT_EQ(recycled.size(), 2u);
  Paths recycledFolders = {recycled[0].drawing, recycled[1].drawing};
  std::sort(recycledFolders.begin(), recycledFolders.end());
  for (const std::vector<int>& rows : {std::vector<int>{1, 0}, std::vector<int>{0, 1}}) {
    Paths paths;
    Paths marked;
    const int result = Run(
        [&](FileDlgBase& dialog) {
          Answer<RestoreSelDlg> choose([&](RestoreSelDlg& restore) {
            FileSelSheet& sheet = *restore.GetSheet();
            ASSERT_EQ(sheet.GetRecCnt(), 2);
            sheet.JumpTo(rows[0], 1);
            MarkRows(sheet, rows);
            for (int row : rows) marked.push_back(sheet.GetRowMember(row)->path);
            ClickControl(restore, IDOK);
          });
          ClickControl(dialog, kIdRestore);
        },
        paths);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(paths, marked);
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, recycledFolders);
  }
}

TEST_F(RestoreTest, BackupsOfTheCurrentDrawingAreChosenAndNothingToRestoreIsSaid) {
  const std::string folder = store_.AppFolder(0x1) + "/Fol.002";
  DrawingSpec spec;
  spec.title = "旧版";
  StoreFixture::WriteDrawing(folder + "/BKUP.001", spec);
  StoreFixture::WriteDrawing(folder + "/BKUP.002", spec);
  StoreFixture::WriteDrawing(folder + "/BKUP.123", spec);
  Paths paths;
  MessageRecorder messages;
  bool backupEnabledOnOne = true;
  // The number column of the backups and the room "履歴123" needs there.
  int numberWidth = 0;
  int numberNeeds = 0;
  const int result = Run(
      [&](FileDlgBase& dialog) {
        FileSelSheet& sheet = *dialog.GetSheet();
        sheet.JumpTo(sheet.FindRecord(0, 0x1), 1);
        backupEnabledOnOne = dialog.GetDlgItem(kIdBackup)->isEnabled();
        ClickControl(dialog, kIdRestore);  // nothing deleted yet
        sheet.JumpTo(sheet.FindRecord(1, 0x1), 1);
        QCoreApplication::processEvents();  // the drawing's folder is listed
        Answer<RestoreSelDlg> choose([&](RestoreSelDlg& restore) {
          numberWidth = restore.GetSheet()->horizontalHeader()->sectionSize(0);
          numberNeeds =
              restore.GetSheet()->fontMetrics().horizontalAdvance(QStringLiteral("履歴123"));
          restore.GetSheet()->JumpTo(0, 1);
          MarkRows(*restore.GetSheet(), {0});
          ClickControl(restore, IDOK);
        });
        ClickControl(dialog, kIdBackup);
      },
      paths);
  EXPECT_FALSE(backupEnabledOnOne);
  EXPECT_EQ(messages.Described(),
            Paths{"図面削除の復帰/復帰する図面がありません/" + std::to_string(kRefusal)});
  EXPECT_EQ(result, 1);
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(paths[0].rfind(folder + "/BKUP.", 0), 0u) << paths[0];
  EXPECT_GT(numberNeeds, 0);
  EXPECT_GE(numberWidth, numberNeeds + 6);  // the cell's own margins
}

TEST_F(RestoreTest, BackupOfADrawingInUseIsRefused) {
  const std::string folder = store_.AppFolder(0x1) + "/Fol.001";
  StoreFixture::WriteDrawing(folder + "/BKUP.001");
  HoldingChild holder(LockDrawing(store_.env(), folder));
  ASSERT_TRUE(holder.holding());
  Paths paths;
  MessageRecorder messages;
  Run(
      [&](FileDlgBase& dialog) {
        FileSelSheet& sheet = *dialog.GetSheet();
        sheet.JumpTo(sheet.FindRecord(0, 0x1), 1);
        QCoreApplication::processEvents();  // the drawing's folder is listed
        ClickControl(dialog, kIdBackup);
      },
      paths);
  EXPECT_EQ(messages.Described(),
            Paths{"ﾊﾞｯｸｱｯﾌﾟ復帰/この図面はロックされています/" + std::to_string(kRefusal)});
}

}  // namespace
}  // namespace vexa::test
