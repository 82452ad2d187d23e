// Deleting and restoring in a store where another member of the group plants
// links, files and FIFOs, or swaps a folder for a link between two steps
// (through the fault seam): nothing outside the store is renamed, removed,
// created or read into it, and each refusal names its real cause.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/sysinfo.h"
#include "tests/support/fault_env.h"
#include "tests/support/hostile_files.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/recycle.h"
#include "vexafol/restore.h"

namespace vexa::test {
namespace {

using platform::Op;

class HostileRecycle : public ::testing::Test {
 protected:
  // The victim's private folder outside the store, holding what a recycle
  // folder would hold: ten slot folders, a drawing in the tenth.
  void SetUp() override {
    for (int n = 1; n <= kRecycleSlots; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "/[a][b][HNY][x].%03d", n);
      ASSERT_EQ(::mkdir((outside_ + name).c_str(), 0700), 0);
    }
    WriteFileBytes(outside_ + "/[a][b][HNY][x].010/Fol.001/INDEX.VXF", "private");
    WriteFileBytes(outside_ + "/id_rsa", "secret");
    ASSERT_EQ(::chmod((outside_ + "/id_rsa").c_str(), 0600), 0);
  }
  bool OutsideUntouched() const {
    int slots = 0;
    for (int n = 1; n <= kRecycleSlots; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "/[a][b][HNY][x].%03d", n);
      slots += ModeOf(outside_ + name) == 0700;
    }
    return slots == kRecycleSlots &&
           ReadFileBytes(outside_ + "/[a][b][HNY][x].010/Fol.001/INDEX.VXF") == "private" &&
           ReadFileBytes(outside_ + "/id_rsa") == "secret" && ModeOf(outside_ + "/id_rsa") == 0600;
  }
  FolMember Drawing(int n) {
    store_.WriteAppDrawing(0x1, n);
    VexaFolderList list(store_.env());
    list.Load(0x1, 0);
    for (int i = 0; i < list.GetFolderNum(); ++i)
      if (list.GetFolderMember(i)->GetFolderNo(store_.env()) == n - 1)
        return *list.GetFolderMember(i);
    ADD_FAILURE() << "drawing " << n << " not loaded";
    return {};
  }
  std::string App(int n) const {
    char name[16];
    std::snprintf(name, sizeof name, "/Fol.%03d", n);
    return store_.AppFolder(0x1) + name;
  }

  TempDir outsideDir_;
  std::string outside_ = outsideDir_.path();
  StoreFixture store_;
};

TEST_F(HostileRecycle, ALinkFileOrFifoIsNoRecycleFolderAndTheMessageSaysWhy) {
  const FolMember member = Drawing(1);
  struct Case {
    const char* what;
    int error;
  };
  for (const Case& c : {Case{"link", ELOOP}, Case{"file", ENOTDIR}, Case{"fifo", ENOTDIR}}) {
    SCOPED_TRACE(c.what);
    const std::string recycle = store_.Recycle();
    if (c.what == std::string("link")) {
      ASSERT_EQ(::symlink(outside_.c_str(), recycle.c_str()), 0);
    }
    if (c.what == std::string("file")) WriteFileBytes(recycle, "x");
    if (c.what == std::string("fifo")) {
      ASSERT_EQ(::mkfifo(recycle.c_str(), 0666), 0);
    }
    std::string error;
    EXPECT_FALSE(MoveToRecycle(store_.env(), member, error));
    EXPECT_EQ(error, "ごみ箱フォルダを作成できません。\n" + platform::SystemErrorText(c.error));
    EXPECT_FALSE(TidyRecycle(store_.env(), recycle));
    EXPECT_EQ(ReadFileBytes(member.path + "/INDEX.VXF").size(), sizeof(VexaFileHeader));
    EXPECT_TRUE(OutsideUntouched());
    ASSERT_EQ(::unlink(recycle.c_str()), 0);
  }
}

TEST_F(HostileRecycle, LinksNamedLikeSlotsTakeNoSlotAndAreNeverEntered) {
  ASSERT_TRUE(std::filesystem::create_directories(store_.Recycle()));
  for (int n = 1; n <= kRecycleSlots; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/[a][b][HNY][x].%03d", n);
    ASSERT_EQ(::symlink((outside_ + name).c_str(), (store_.Recycle() + name).c_str()), 0);
  }
  std::string error;
  ASSERT_TRUE(MoveToRecycle(store_.env(), Drawing(1), error)) << error;
  EXPECT_FALSE(FindRecycleSlot(store_.env(), store_.Recycle(), 1).empty());
  EXPECT_TRUE(IsLink(store_.Recycle() + "/[a][b][HNY][x].010"));
  EXPECT_TRUE(OutsideUntouched());
}

// Slot 10 leaves by way of REMOVING.TMP; a member swaps the drawing folder in
// it for a link to the victim's folder just before the removal enters it.
TEST_F(HostileRecycle, TheOldestSlotIsRemovedByDescriptorsEvenWhenSwappedForALink) {
  ASSERT_TRUE(std::filesystem::create_directories(store_.Recycle()));
  for (int n = 1; n <= kRecycleSlots; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/[a][b][HNY][%d].%03d", n, n);
    WriteFileBytes(store_.Recycle() + name + "/Fol.001/INDEX.VXF", "old");
  }
  const std::string doomed = store_.Recycle() + "/REMOVING.TMP/Fol.001";
  platform::FaultEnv faults;
  faults.Before(Op::OpenBeneath, "REMOVING.TMP/Fol.001", 0, [&] {
    ASSERT_EQ(::rename(doomed.c_str(), (store_.Recycle() + "/../moved").c_str()), 0);
    ASSERT_EQ(::symlink((outside_ + "/[a][b][HNY][x].010").c_str(), doomed.c_str()), 0);
  });
  platform::ScopedEnv scoped(faults);
  std::string error;
  EXPECT_TRUE(MoveToRecycle(store_.env(), Drawing(1), error)) << error;
  EXPECT_EQ(ModeOf(store_.Recycle() + "/REMOVING.TMP"), 0u);
  EXPECT_TRUE(OutsideUntouched());
}

// BKUP entries: a link to the victim's private file and a FIFO. The restore
// neither copies the one nor blocks on the other, and the new drawing takes
// the store's modes whatever the umask.
TEST_F(HostileRecycle, ABackupIsCopiedOnlyFromItsRegularFilesWithTheStoreModes) {
  store_.WriteAppDrawing(0x1, 1);
  StoreFixture::WriteDrawing(App(1) + "/BKUP", {});
  ASSERT_EQ(::symlink((outside_ + "/id_rsa").c_str(), (App(1) + "/BKUP/pagefile.000").c_str()), 0);
  ASSERT_EQ(::mkfifo((App(1) + "/BKUP/page000.bmp").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(store_.AppFolder(0x1).c_str(), 02770), 0);
  const mode_t saved = ::umask(077);
  std::string error;
  EXPECT_EQ(RestoreBackup(store_.env(), App(1) + "/BKUP", error), App(2)) << error;
  ::umask(saved);
  EXPECT_EQ(ModeOf(App(2)), 02770u);
  EXPECT_EQ(ModeOf(App(2) + "/INDEX.VXF"), 0660u);
  EXPECT_EQ(ModeOf(App(2) + "/pagefile.000"), 0u);
  EXPECT_EQ(ModeOf(App(2) + "/page000.bmp"), 0u);
  EXPECT_TRUE(OutsideUntouched());
}

// The copy folder is swapped for a link to the victim's folder after it was
// made: nothing is created there and the link is not renamed into place.
TEST_F(HostileRecycle, ACopyFolderSwappedForALinkIsNeitherFilledNorPlaced) {
  store_.WriteAppDrawing(0x1, 1);
  StoreFixture::WriteDrawing(App(1) + "/BKUP", {});
  const std::string copy = store_.AppFolder(0x1) + "/RESTORE.002";
  platform::FaultEnv faults;
  faults.Before(Op::OpenBeneath, "/RESTORE.002", 0, [&] {
    ASSERT_EQ(::rename(copy.c_str(), (copy + ".moved").c_str()), 0);
    ASSERT_EQ(::symlink(outside_.c_str(), copy.c_str()), 0);
  });
  platform::ScopedEnv scoped(faults);
  std::string error;
  EXPECT_EQ(RestoreBackup(store_.env(), App(1) + "/BKUP", error), "");
  EXPECT_NE(error.find(platform::SystemErrorText(ELOOP)), std::string::npos) << error;
  EXPECT_EQ(ModeOf(App(2)), 0u);
  EXPECT_FALSE(IsLink(copy));
  EXPECT_EQ(ModeOf(outside_ + "/INDEX.VXF"), 0u);
  EXPECT_TRUE(OutsideUntouched());
}

// A recycled drawing whose container was swapped for a link stays where the
// link leads; the recycle folder as a link is refused the same way.
TEST_F(HostileRecycle, ARecycledDrawingIsNeverTakenThroughALink) {
  ASSERT_TRUE(std::filesystem::create_directories(store_.Recycle()));
  const std::string container = store_.Recycle() + "/[a][b][HNY][x].001";
  ASSERT_EQ(::symlink((outside_ + "/[a][b][HNY][x].010").c_str(), container.c_str()), 0);
  std::string error;
  EXPECT_EQ(RestoreRecycled(store_.env(), container + "/Fol.001", error), "");
  EXPECT_NE(error.find(platform::SystemErrorText(ELOOP)), std::string::npos) << error;
  EXPECT_TRUE(OutsideUntouched());
}

}  // namespace
}  // namespace vexa::test
