// The lock service within one process: what unlocks release, shared tables of
// copies, where a slot's lock files lie, handles that go bad.
#include "vexafol/folderlock.h"

#include <gtest/gtest.h>

#include "platform/fault_env.h"
#include "tests/lock/lock_store.h"

namespace vexa {
namespace {

using test::LockStore;

class FolderLock : public testing::Test {
 protected:
  LockStore store_;
  std::string path_ = store_.Drawing(12);
  const char* drawing_ = path_.c_str();
  VexaFolderLock mine_{&store_.env()};
  VexaFolderLock other_{&store_.env()};
};

TEST_F(FolderLock, TheDrawingLockIsHeldOnceAndReleasedByItsHolderOnly) {
  EXPECT_EQ(mine_.LockZmn(drawing_), 1);
  EXPECT_EQ(mine_.LockZmn(drawing_), 0);  // a second lock through the same handle
  other_.UnLockZmn(drawing_);             // not its lock
  EXPECT_EQ(other_.IsLockZmn(drawing_), 1);
  mine_.UnLockZmn(drawing_);
  EXPECT_EQ(other_.IsLockZmn(drawing_), 0);
  EXPECT_EQ(other_.LockZmn(drawing_), 1);
  // Other drawings of the application are independent bytes.
  EXPECT_EQ(mine_.LockZmn(store_.Drawing(13).c_str()), 1);
}

TEST_F(FolderLock, UnlockingTheDrawingDropsThisServicesPageLocksOfIt) {
  ASSERT_EQ(mine_.LockZmn(drawing_), 1);
  ASSERT_EQ(mine_.LockPage(drawing_, 3), 1);
  ASSERT_EQ(mine_.LockPage(drawing_, 4), 1);
  ASSERT_EQ(mine_.LockPage(store_.Drawing(13).c_str(), 3), 1);
  EXPECT_EQ(other_.IsLockPage(drawing_, 3), 1);

  mine_.UnLockPage(drawing_, 3);  // releases one byte, keeps the file open
  EXPECT_EQ(other_.IsLockPage(drawing_, 3), 0);
  EXPECT_EQ(other_.IsLockPage(drawing_, 4), 1);
  mine_.UnLockPage(drawing_, 3);  // not held any more: nothing happens

  mine_.UnLockZmn(drawing_);
  EXPECT_EQ(other_.IsLockPage(drawing_, 4), 0);
  EXPECT_EQ(other_.IsLockPage(store_.Drawing(13).c_str(), 3), 1);  // another drawing
  EXPECT_EQ(mine_.LockPage(drawing_, 4), 1);                       // the page file is opened again
}

TEST_F(FolderLock, UnlockingADrawingThisServiceDidNotLockLeavesItsPagesAlone) {
  ASSERT_EQ(mine_.LockPage(drawing_, 3), 1);
  mine_.UnLockZmn(drawing_);
  EXPECT_EQ(other_.IsLockPage(drawing_, 3), 1);
  EXPECT_EQ(other_.IsExistLockPage(drawing_), 1);
  EXPECT_EQ(other_.LockZmn(drawing_), 0);
}

TEST_F(FolderLock, UnlocksAndTheScanOpenNothingThatIsNotThere) {
  mine_.UnLockZmn(drawing_);
  EXPECT_FALSE(LockStore::Exists(store_.AppFolder()));
  EXPECT_EQ(mine_.IsExistLockPage(drawing_), 0);
  EXPECT_FALSE(LockStore::Exists(store_.AppFolder()));
  mine_.UnLockPage(drawing_, 3);  // opens the drawing lock file only
  EXPECT_TRUE(LockStore::Exists(store_.DrawingLockFile()));
  EXPECT_FALSE(LockStore::Exists(store_.PageLockFile(12)));
}

TEST_F(FolderLock, CopiesShareOneTableAndAssignmentLetsGoOfTheOld) {
  VexaFolderLock copy = mine_;
  ASSERT_EQ(mine_.LockZmn(drawing_), 1);
  EXPECT_EQ(copy.LockZmn(drawing_), 0);  // the same handle holds it
  {
    VexaFolderLock inner(mine_);
    EXPECT_EQ(inner.LockPage(drawing_, 7), 1);
  }  // not the last owner: the table and its locks stay
  EXPECT_EQ(other_.IsLockPage(drawing_, 7), 1);
  const std::string drawing20 = store_.Drawing(20);
  ASSERT_EQ(other_.LockZmn(drawing20.c_str()), 1);
  other_ = mine_;
  other_ = other_;
  VexaFolderLock third(&store_.env());
  EXPECT_EQ(third.IsLockZmn(drawing20.c_str()), 0);
  other_.UnLockPage(drawing_, 7);
  EXPECT_EQ(third.IsLockPage(drawing_, 7), 0);
}

TEST_F(FolderLock, UnlockAllReleasesEverythingAndRemovesTheFiles) {
  ASSERT_EQ(mine_.LockZmn(drawing_), 1);
  ASSERT_EQ(mine_.LockPage(drawing_, 3), 1);
  ASSERT_EQ(mine_.LockZmn(store_.Drawing(5, 0x1000).c_str()), 1);
  mine_.UnLockAll();
  for (const std::string& path :
       {store_.DrawingLockFile(), store_.PageLockFile(12), store_.DrawingLockFile(0x1000)})
    EXPECT_FALSE(LockStore::Exists(path)) << path;
  EXPECT_EQ(other_.LockZmn(drawing_), 1);
  EXPECT_EQ(mine_.LockZmn(drawing_), 0);  // the service works on after UnLockAll
}

TEST_F(FolderLock, TheFirstDirectoryUsedHoldsTheLockFilesOfItsApplication) {
  LockStore second;  // another store, same application
  const std::string elsewhere = second.Drawing(12);
  ASSERT_EQ(mine_.LockZmn(drawing_), 1);
  EXPECT_EQ(mine_.LockZmn(elsewhere.c_str()), 0);  // byte 12 of the first store's file
  EXPECT_EQ(mine_.LockPage(elsewhere.c_str(), 1), 1);
  EXPECT_TRUE(LockStore::Exists(store_.PageLockFile(12)));
  EXPECT_FALSE(LockStore::Exists(second.AppFolder()));
  mine_.UnLockAll();
  EXPECT_EQ(mine_.LockZmn(elsewhere.c_str()), 1);
  EXPECT_TRUE(LockStore::Exists(second.DrawingLockFile()));
}

TEST_F(FolderLock, AHandleThatWentBadIsReopenedWithoutItsLocks) {
  ASSERT_EQ(mine_.LockZmn(drawing_), 1);
  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Fstat, EIO, "CADAPP.LOC", 0, 1);
  EXPECT_EQ(mine_.LockZmn(drawing_), 1);  // the lock of the old handle is gone
  EXPECT_EQ(mine_.LockZmn(drawing_), 0);
}

TEST(FolderLockEnvironment, AServiceWithoutEnvironmentRefusesUntilItGetsOne) {
  LockStore store;
  const std::string path = store.Drawing(12);
  VexaFolderLock service;
  EXPECT_EQ(service.LockZmn(path.c_str()), 0);
  EXPECT_EQ(service.LockPage(path.c_str(), 1), 0);
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 1);
  EXPECT_EQ(service.IsExistLockPage(path.c_str()), 1);
  service.UnLockAll();
  EXPECT_FALSE(LockStore::Exists(store.AppFolder()));
  VexaFolderLock copy = service;
  copy.SetEnvObj(store.env());  // the copies share the table and its environment
  EXPECT_EQ(service.LockZmn(path.c_str()), 1);
  EXPECT_EQ(service.LockZmn(nullptr), 0);
  EXPECT_EQ(service.IsLockZmn(nullptr), 1);
}

}  // namespace
}  // namespace vexa
