// Bringing recycled drawings and backups back, against real folders: the new
// number, the emptied container, the backup kept, nothing overwritten, and
// what is refused.
#include "vexafol/restore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "platform/sysinfo.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/recycle.h"

namespace vexa::test {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

class RestoreFolderTest : public ::testing::Test {
 protected:
  std::string App(int n) const {
    char name[16];
    std::snprintf(name, sizeof name, "/Fol.%03d", n);
    return store_.AppFolder(0x4) + name;
  }
  // Writes Fol.005, moves it into the recycle folder and gives its slot.
  RecycleSlot RecycleFol005() {
    store_.WriteAppDrawing(0x4, 5);
    VexaFolderList list(store_.env());
    list.Load(0x4, 0);
    std::string error;
    EXPECT_TRUE(MoveToRecycle(store_.env(), *list.GetFolderMember(0), error)) << error;
    const std::vector<RecycleSlot> slots = ListRecycleSlots(store_.env());
    EXPECT_EQ(slots.size(), 1u);
    return slots.empty() ? RecycleSlot{} : slots[0];
  }
  StoreFixture store_;
};

TEST_F(RestoreFolderTest, RecycledDrawingReturnsUnderTheNextNumberAndItsContainerGoes) {
  DrawingSpec spec;
  spec.title = "測量";
  store_.WriteAppDrawing(0x4, 5, spec);
  VexaFolderList list(store_.env());
  list.Load(0x4, 0);
  std::string error;
  ASSERT_TRUE(MoveToRecycle(store_.env(), *list.GetFolderMember(0), error)) << error;
  store_.WriteAppDrawing(0x4, 5);  // somebody made a new Fol.005 meanwhile

  const std::vector<RecycleSlot> slots = ListRecycleSlots(store_.env());
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_EQ(RestoreRecycled(store_.env(), slots[0].drawing, error), App(6)) << error;
  EXPECT_EQ(ReadFileBytes(App(6) + "/INDEX.VXF"), HeaderBytes(MakeHeader(spec)));
  EXPECT_FALSE(Exists(slots[0].container));
  EXPECT_FALSE(Exists(store_.Recycle() + "/LOCK.TMP"));

  EXPECT_EQ(RestoreRecycled(store_.env(), App(5), error), "");
  EXPECT_EQ(error, "ごみ箱フォルダの図面ではありません。\n" + App(5));
}

TEST_F(RestoreFolderTest, AFolderMadeUnderTheChosenNumberBeforeTheMoveIsPassedOver) {
  const RecycleSlot slot = RecycleFol005();
  ASSERT_FALSE(slot.drawing.empty());
  std::string error;
  platform::FaultEnv faults;
  faults.Before(platform::Op::RenameAt, slot.drawing, 0, [&] { ::mkdir(App(1).c_str(), 0777); });
  platform::ScopedEnv scoped(faults);
  EXPECT_EQ(RestoreRecycled(store_.env(), slot.drawing, error), App(2)) << error;
  EXPECT_FALSE(Exists(App(1) + "/INDEX.VXF"));  // somebody else's, left alone
  EXPECT_TRUE(Exists(App(2) + "/INDEX.VXF"));
}

TEST_F(RestoreFolderTest, OutOfMemoryFailsTheRestoreAndLeavesTheDrawingRecycled) {
  const RecycleSlot slot = RecycleFol005();
  ASSERT_FALSE(slot.drawing.empty());
  std::string error;
  {
    platform::FaultEnv faults;
    faults.Before(platform::Op::RenameAt, slot.drawing, 0, [] { throw std::bad_alloc(); });
    platform::ScopedEnv scoped(faults);
    EXPECT_EQ(RestoreRecycled(store_.env(), slot.drawing, error), "");
    EXPECT_EQ(error, "図面を戻せません。\n" + platform::SystemErrorText(ENOMEM));
  }
  EXPECT_TRUE(Exists(slot.drawing + "/INDEX.VXF"));
  EXPECT_FALSE(Exists(store_.Recycle() + "/LOCK.TMP"));
  EXPECT_EQ(RestoreRecycled(store_.env(), slot.drawing, error), App(1)) << error;
}

TEST_F(RestoreFolderTest, BackupIsCopiedAsANewDrawingAndStaysUnlessTheCopyOrNumberFails) {
  store_.WriteAppDrawing(0x4, 1);
  DrawingSpec old;
  old.title = "旧版";
  StoreFixture::WriteDrawing(App(1) + "/BKUP.002", old);
  WriteFileBytes(App(1) + "/BKUP.002/pagefile.000", "page bytes");
  std::string error;
  EXPECT_EQ(RestoreBackup(store_.env(), App(1) + "/BKUP.002", error), App(2)) << error;
  EXPECT_EQ(ReadFileBytes(App(2) + "/pagefile.000"), "page bytes");
  EXPECT_EQ(ReadFileBytes(App(2) + "/INDEX.VXF"), HeaderBytes(MakeHeader(old)));
  EXPECT_TRUE(Exists(App(1) + "/BKUP.002/pagefile.000"));

  {  // A copy that fails half way leaves nothing behind.
    platform::FaultEnv faults;
    faults.Fail(platform::Op::Write, ENOSPC, "pagefile.000");
    platform::ScopedEnv scoped(faults);
    EXPECT_EQ(RestoreBackup(store_.env(), App(1) + "/BKUP.002", error), "");
    EXPECT_NE(error.find("(28)"), std::string::npos) << error;
    EXPECT_FALSE(Exists(App(3)));
    EXPECT_FALSE(Exists(store_.AppFolder(0x4) + "/RESTORE.003"));
  }
  // The next number is held by another process (a drawing being made there):
  // the copy takes the one after it.
  const std::string next = App(3);
  HoldingChild holder(
      [&] { return (new VexaFolderLock(&store_.env()))->LockZmn(next.c_str()) != 0; });
  ASSERT_TRUE(holder.holding());
  EXPECT_EQ(RestoreBackup(store_.env(), App(1) + "/BKUP.002", error), App(4)) << error;
  EXPECT_FALSE(Exists(next));
}

}  // namespace
}  // namespace vexa::test
