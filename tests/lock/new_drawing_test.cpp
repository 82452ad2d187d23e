// Claiming a number for a new drawing against real folders and real
// processes: held numbers passed over, the lock held while the drawing is
// written and released after, two claims at once, a folder appearing between
// the choice and the making, a full application folder, and failures that
// leave nothing behind.
#include "vexafol/new_drawing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "lock/owner_note.h"
#include "platform/sysinfo.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlock.h"

namespace vexa::test {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

class NewDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store_.env().CreateDir(app_, 1)); }

  std::string App(int n) const {
    char name[16];
    std::snprintf(name, sizeof name, "/Fol.%03d", n);
    return app_ + name;
  }
  // Makes a drawing whose index file says title.
  std::string Create(std::string& error, const std::string& title = "図面") {
    return CreateNewDrawing(
        store_.env(), app_,
        [&](const std::string& folder, std::string&) {
          DrawingSpec spec;
          spec.title = title;
          StoreFixture::WriteDrawing(folder, spec);
          return true;
        },
        error);
  }
  // Whether another process can take the drawing lock of folder now.
  bool OtherProcessLocks(const std::string& folder) const {
    ChildProcess child([&] { return VexaFolderLock(&store_.env()).LockZmn(folder.c_str()); });
    return child.Wait() == 1;
  }

  StoreFixture store_;
  const std::string app_ = store_.AppFolder(0x4);
};

TEST_F(NewDrawingTest, AHeldNumberIsPassedOverAndTheNewOneIsLockedWhileItIsWritten) {
  std::string error;
  ASSERT_EQ(Create(error), App(1)) << error;
  const std::string held = App(2);
  HoldingChild holder(
      [&] { return (new VexaFolderLock(&store_.env()))->LockZmn(held.c_str()) != 0; });
  ASSERT_TRUE(holder.holding());

  bool lockedWhileWritten = false;
  const std::string made = CreateNewDrawing(
      store_.env(), app_,
      [&](const std::string& folder, std::string&) {
        lockedWhileWritten = !OtherProcessLocks(folder);
        return true;
      },
      error);
  EXPECT_EQ(made, App(3)) << error;
  EXPECT_TRUE(lockedWhileWritten);
  EXPECT_TRUE(OtherProcessLocks(made));
  EXPECT_FALSE(Exists(held));
}

TEST_F(NewDrawingTest, TwoProcessesThatChoseOneNumberGetTwoNumbers) {
  // Each child stops after its choice, just before it opens the drawing lock
  // file, until both have chosen; then both claim at once.
  Signal chosen, go;
  auto claim = [&] {
    platform::FaultEnv faults;
    faults.Before(platform::Op::Open, "CADAPP.LOC", 0, [&] {
      chosen.Give();
      go.Take();
    });
    platform::ScopedEnv scoped(faults);
    std::string error;
    const std::string made = Create(error);
    return made == App(1) ? 1 : made == App(2) ? 2 : 100;
  };
  ChildProcess first(claim), second(claim);
  chosen.CloseGiving();
  ASSERT_TRUE(chosen.Take());
  ASSERT_TRUE(chosen.Take());
  go.Give();
  go.Give();
  const int a = first.Wait(), b = second.Wait();
  EXPECT_EQ(a + b, 3) << a << " " << b;  // 1 and 2
  EXPECT_TRUE(Exists(App(1) + "/INDEX.VXF"));
  EXPECT_TRUE(Exists(App(2) + "/INDEX.VXF"));
}

TEST_F(NewDrawingTest, AFolderMadeBetweenTheChoiceAndTheMakingIsLeftAlone) {
  platform::FaultEnv faults;
  faults.Before(platform::Op::MakeDirAt, "Fol.001", 0, [&] { ::mkdir(App(1).c_str(), 0777); });
  platform::ScopedEnv scoped(faults);
  std::string error;
  EXPECT_EQ(Create(error), App(2)) << error;
  EXPECT_TRUE(Names(App(1)).empty());  // somebody else's, untouched
}

TEST_F(NewDrawingTest, NoFreeNumberFailsWhetherTheLastIsMadeOrHeld) {
  for (int n = 1; n <= 998; ++n) ASSERT_EQ(::mkdir(App(n).c_str(), 0777), 0);
  const std::string full = "空いている図面番号がありません。\n" + app_;
  std::string error;
  {
    const std::string last = App(999);
    HoldingChild holder(
        [&] { return (new VexaFolderLock(&store_.env()))->LockZmn(last.c_str()) != 0; });
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(Create(error), "");
    EXPECT_EQ(error, full);
  }
  ASSERT_EQ(Create(error), App(999)) << error;
  EXPECT_EQ(Create(error), "");
  EXPECT_EQ(error, full);
}

TEST_F(NewDrawingTest, AFailedWriteLeavesNothingAndReleasesTheNumber) {
  std::string error;
  auto failing = [&](const std::string& folder, std::string& fillError) {
    WriteFileBytes(folder + "/pagefile.000", "half");
    fillError = "disk full";
    return false;
  };
  EXPECT_EQ(CreateNewDrawing(store_.env(), app_, failing, error), "");
  EXPECT_EQ(error, "disk full");

  auto outOfMemory = [&](const std::string& folder, std::string&) -> bool {
    WriteFileBytes(folder + "/pagefile.000", "half");
    throw std::bad_alloc();
  };
  EXPECT_EQ(CreateNewDrawing(store_.env(), app_, outOfMemory, error), "");
  EXPECT_EQ(error, "図面を作成できません。\n" + platform::SystemErrorText(ENOMEM));

  // Nothing but the folder of the lock owners' notes: no drawing, no draft,
  // no lock file.
  for (const std::string& name : Names(app_)) EXPECT_EQ(name, lock::kNoteFolder);
  EXPECT_TRUE(OtherProcessLocks(App(1)));
  EXPECT_EQ(Create(error), App(1)) << error;
}

TEST_F(NewDrawingTest, AnUnusableDrawingLockFileFailsAtOnce) {
  // Every lock would be refused: that must not read as "every number held".
  ASSERT_EQ(::mkdir((app_ + "/CADAPP.LOC").c_str(), 0777), 0);
  std::string error;
  EXPECT_EQ(Create(error), "");
  EXPECT_EQ(error.rfind("図面をロックできません。\n" + app_ + "/CADAPP.LOC\n(21) ", 0), 0u)
      << error;
  EXPECT_FALSE(Exists(App(1)));
}

}  // namespace
}  // namespace vexa::test
