// The lock records: opening lock files at their fixed lengths, probes, the
// page scan, and closing everything.
#include "lock/lock_records.h"

#include <dirent.h>

#include <gtest/gtest.h>

#include "platform/fault_env.h"
#include "tests/lock/lock_store.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using platform::ScopedEnv;
using test::LockStore;

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

TEST(LockRecords, TheTableIsSmallAndAnUnusedServiceHoldsNoFiles) {
  // 11 slots of 1000 page records each live in one block per service.
  EXPECT_LE(sizeof(VexaPageLock), 24u);
  EXPECT_LE(sizeof(VexaFolderLockInfo), 11u * (1000u * 24u + 80u) + 16u);
  const int before = OpenDescriptors();
  {
    VexaFolderLock unused;
    VexaFolderLock copy = unused;
    EXPECT_EQ(OpenDescriptors(), before);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(LockRecords, OpeningSetsTheLengthOfLeftoverFilesWithoutTruncatingThem) {
  LockStore store;
  test::WriteFileBytes(store.DrawingLockFile(), "left by a crash");
  test::WriteFileBytes(store.PageLockFile(12), std::string(2000, 'p'));
  VexaAppLock slot;
  ASSERT_TRUE(slot.EnsureOpen(store.env(), store.Drawing(12)));
  EXPECT_EQ(LockStore::SizeOf(store.DrawingLockFile()), 1000);
  EXPECT_EQ(test::ReadFileBytes(store.DrawingLockFile()).substr(0, 15), "left by a crash");
  VexaPageLock& pages = slot.Page(12);
  ASSERT_TRUE(pages.EnsureOpen(store.PageLockFile(12)));
  EXPECT_EQ(LockStore::SizeOf(store.PageLockFile(12)), 501);

  // A slot that is open keeps the drawing path it was opened with.
  ASSERT_TRUE(slot.EnsureOpen(store.env(), "/elsewhere/Fol.001"));
  EXPECT_EQ(slot.DrawingPath(), store.Drawing(12));
}

TEST(LockRecords, TheSlotCreatesTheFoldersOnTheWay) {
  LockStore store;
  ASSERT_FALSE(LockStore::Exists(store.AppFolder()));
  VexaAppLock slot;
  ASSERT_TRUE(slot.EnsureOpen(store.env(), store.Drawing(3)));
  EXPECT_TRUE(LockStore::Exists(store.DrawingLockFile()));
}

TEST(LockRecords, ProbesReportBytesHeldByAnybodyAndLeaveFreeBytesFree) {
  LockStore store;
  VexaAppLock mine, other;
  ASSERT_TRUE(mine.EnsureOpen(store.env(), store.Drawing(1)));
  ASSERT_TRUE(other.EnsureOpen(store.env(), store.Drawing(1)));
  EXPECT_FALSE(mine.ProbeByte(7));
  EXPECT_TRUE(other.LockByte(7));  // the probe released it again
  EXPECT_TRUE(mine.ProbeByte(7));
  EXPECT_TRUE(other.ProbeByte(7));  // its own byte too
  EXPECT_FALSE(mine.UnlockByte(7));
  EXPECT_TRUE(other.UnlockByte(7));
  EXPECT_FALSE(other.UnlockByte(7));
  EXPECT_FALSE(mine.LockByte(-1));
  EXPECT_TRUE(mine.ProbeByte(-1));
}

TEST(LockRecords, ThePageScanSeesOtherHandlesLocksOnPagesBelow500) {
  LockStore store;
  const std::string drawing = store.Drawing(12);
  VexaAppLock slot;
  ASSERT_TRUE(slot.EnsureOpen(store.env(), drawing));
  VexaPageLock holder, scanner;
  ASSERT_TRUE(holder.EnsureOpen(store.PageLockFile(12)));
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  EXPECT_TRUE(scanner.IsOpen());  // the scan opened the existing file and keeps it

  ASSERT_TRUE(holder.LockByte(500));  // a lock beyond the scanned pages
  ASSERT_TRUE(holder.LockByte(1000));
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  ASSERT_TRUE(scanner.LockByte(3));  // its own lock is invisible to it
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  ASSERT_TRUE(holder.LockByte(499));
  EXPECT_TRUE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  EXPECT_TRUE(holder.HasForeignPageLock(store.env(), drawing, 12));  // sees page 3
  ASSERT_TRUE(holder.UnlockByte(499));
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
}

TEST(LockRecords, WithoutAPageLockFileTheScanFindsNothingAndCreatesNothing) {
  LockStore store;
  VexaPageLock pages;
  // No data directory at all.
  EXPECT_FALSE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
  EXPECT_FALSE(LockStore::Exists(store.AppFolder()));
  // The directory exists, the page lock file does not.
  test::WriteFileBytes(store.DrawingLockFile(), "");
  EXPECT_FALSE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
  EXPECT_FALSE(pages.IsOpen());
  EXPECT_FALSE(LockStore::Exists(store.PageLockFile(12)));
  // A directory in the place of the page lock file is no page lock file either.
  test::WriteFileBytes(store.PageLockFile(12) + "/x", "");
  EXPECT_FALSE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
}

TEST(LockRecords, APageLockFileThatCannotBeOpenedOrReadMeansLocked) {
  LockStore store;
  test::WriteFileBytes(store.PageLockFile(12), std::string(501, '\0'));
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "FOL012.LOC", 0, 1);
  VexaPageLock pages;
  EXPECT_TRUE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
  EXPECT_FALSE(pages.IsOpen());
  EXPECT_TRUE(LockStore::Exists(store.PageLockFile(12)));  // a failed open deletes nothing

  faults.Fail(Op::Read, EIO, "FOL012.LOC", 0, 1);
  EXPECT_TRUE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
  EXPECT_TRUE(pages.IsOpen());
  // A short file reads fewer than 500 bytes.
  ASSERT_EQ(truncate(store.PageLockFile(12).c_str(), 100), 0);
  EXPECT_TRUE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
}

TEST(LockRecords, AFailedOpenRemovesTheFileItCreated) {
  LockStore store;
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Truncate, EIO, "CADAPP.LOC", 0, 1);
  VexaAppLock slot;
  EXPECT_FALSE(slot.EnsureOpen(store.env(), store.Drawing(1)));
  EXPECT_FALSE(slot.IsOpen());
  EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));
  EXPECT_TRUE(slot.EnsureOpen(store.env(), store.Drawing(1)));
}

TEST(LockRecords, CloseAllClosesAndRemovesEveryLockFile) {
  LockStore store;
  VexaFolderLockInfo table(&store.env());
  VexaAppLock& general = table.Slot(0);
  VexaAppLock& civil = table.Slot(9);
  ASSERT_TRUE(general.EnsureOpen(store.env(), store.Drawing(1)));
  ASSERT_TRUE(general.Page(1).EnsureOpen(store.PageLockFile(1)));
  ASSERT_TRUE(general.Page(999).EnsureOpen(store.PageLockFile(999)));
  ASSERT_TRUE(civil.EnsureOpen(store.env(), store.Drawing(5, 0x1000)));
  ASSERT_TRUE(general.LockByte(1));
  table.CloseAll();
  EXPECT_FALSE(general.IsOpen());
  EXPECT_FALSE(general.Page(999).IsOpen());
  for (const std::string& path : {store.DrawingLockFile(), store.PageLockFile(1),
                                  store.PageLockFile(999), store.DrawingLockFile(0x1000)})
    EXPECT_FALSE(LockStore::Exists(path)) << path;
}

}  // namespace
}  // namespace vexa
