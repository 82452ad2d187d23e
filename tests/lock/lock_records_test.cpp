// The lock records: the page scan, and lock files that cannot be opened or read.
#include "lock/lock_records.h"

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"
#include "tests/support/fault_env.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using platform::ScopedEnv;
using test::LockStore;

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
  EXPECT_TRUE(scanner.ProbeByte(500));
  EXPECT_TRUE(holder.ProbeByte(500));  // its own byte too
  EXPECT_FALSE(scanner.ProbeByte(700));
  EXPECT_TRUE(holder.LockByte(700));  // the probe left the free byte free
  ASSERT_TRUE(scanner.LockByte(3));   // its own lock is invisible to it
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  ASSERT_TRUE(holder.LockByte(499));
  EXPECT_TRUE(scanner.HasForeignPageLock(store.env(), drawing, 12));
  EXPECT_TRUE(holder.HasForeignPageLock(store.env(), drawing, 12));  // sees page 3
  ASSERT_TRUE(holder.UnlockByte(499));
  EXPECT_FALSE(scanner.HasForeignPageLock(store.env(), drawing, 12));
}

TEST(LockRecords, FailedOpensAndReadsNeitherLeaveFilesNorGrantPages) {
  LockStore store;
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Truncate, EIO, "CADAPP.LOC", 0, 1);
  VexaAppLock slot;
  EXPECT_FALSE(slot.EnsureOpen(store.env(), store.Drawing(1)));
  EXPECT_FALSE(slot.IsOpen());
  EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));
  EXPECT_TRUE(slot.EnsureOpen(store.env(), store.Drawing(1)));
  // A page lock file that cannot be read, or reads short, means locked.
  test::WriteFileBytes(store.PageLockFile(12), std::string(501, '\0'));
  faults.Fail(Op::Read, EIO, "FOL012.LOC", 0, 1);
  VexaPageLock pages;
  EXPECT_TRUE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
  ASSERT_EQ(truncate(store.PageLockFile(12).c_str(), 100), 0);
  EXPECT_TRUE(pages.HasForeignPageLock(store.env(), store.Drawing(12), 12));
}

}  // namespace
}  // namespace vexa
