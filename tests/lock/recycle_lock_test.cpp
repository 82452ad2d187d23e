// The recycle-folder lock: one holder at a time, the file gone with its last
// user, and the message of a lock that cannot be taken.
#include "lock/recycle_lock.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/sysinfo.h"
#include "tests/lock/lock_store.h"
#include "tests/support/child_process.h"

namespace vexa {
namespace {

using test::LockStore;

TEST(RecycleFolderLock, OneHolderAtATimeAndTheFileGoesWithTheLastUser) {
  test::TempDir dir;
  const std::string recycle = dir / "RECYCCAD";
  const std::string lockFile = recycle + "/LOCK.TMP";
  test::WriteFileBytes(lockFile, "left over");
  LockStore store;
  {
    RecycleFolderLock lock(store.env(), recycle);
    ASSERT_TRUE(lock.IsHeld());
    EXPECT_EQ(lock.Error(), 0);
    EXPECT_EQ(LockStore::SizeOf(lockFile), 1);  // truncated, then one byte

    test::ChildProcess other([&] {
      RecycleFolderLock second(store.env(), recycle);
      return second.IsHeld() ? 1 : 0;
    });
    EXPECT_EQ(other.Wait(), 0);
    {
      RecycleFolderLock second(store.env(), recycle);
      EXPECT_FALSE(second.IsHeld());
      EXPECT_EQ(second.ErrorMessage().rfind("ごみ箱フォルダをロックできません。\n(", 0), 0u);
    }
    EXPECT_TRUE(LockStore::Exists(lockFile));  // the holder still has it open
  }
  EXPECT_FALSE(LockStore::Exists(lockFile));
  RecycleFolderLock again(store.env(), recycle);
  EXPECT_TRUE(again.IsHeld());
  RecycleFolderLock missing(store.env(), dir / "missing");
  EXPECT_EQ(missing.Error(), ENOENT);
  EXPECT_EQ(missing.ErrorMessage(),
            "ごみ箱フォルダをロックできません。\n" + platform::SystemErrorText(ENOENT));
}

// A group member swaps the recycle folder for a link to a folder of another
// user: the lock is refused, and nothing is made or cut short behind the link.
TEST(RecycleFolderLock, ARecycleFolderThatIsALinkIsNeverFollowed) {
  test::TempDir dir;
  const std::string outside = dir / "private";
  test::WriteFileBytes(outside + "/LOCK.TMP", "precious");
  const std::string recycle = dir / "RECYCCAD";
  ASSERT_EQ(symlink(outside.c_str(), recycle.c_str()), 0);
  LockStore store;
  {
    RecycleFolderLock lock(store.env(), recycle);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(lock.Error(), ELOOP);
  }
  EXPECT_EQ(test::ReadFileBytes(outside + "/LOCK.TMP"), "precious");
}

}  // namespace
}  // namespace vexa
