// Lock states asked again while a list is shown: a drawing another process
// takes, frees or uses by a page shows so after RefreshLockStates, which
// counts the records that changed and leaves the records themselves alone.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"
#include "tests/support/child_process.h"
#include "vexafol/fileformat.h"
#include "vexafol/filetime.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

void MakeDrawing(const test::LockStore& store, int n) {
  const std::string folder = store.Drawing(n);
  store.env().CreateDir(folder + "/INDEX.VXF", 0);
  VexaFileHeader header;
  header.version = 2;
  header.pageCount = 1;
  header.createTime = UnixToFileTime(1600000000 + n);
  std::ofstream(folder + "/INDEX.VXF", std::ios::binary)
      .write(reinterpret_cast<const char*>(&header), sizeof header);
}

int StateOf(const VexaFolderList& list, const std::string& path) {
  for (int i = 0; i < list.GetFolderNum(); ++i)
    if (list.GetFolderMember(i)->path == path) return list.GetFolderMember(i)->lockState;
  return -1;
}

TEST(LockRefresh, FollowsTakenFreedAndPageLocksWithoutReloading) {
  test::LockStore store;
  for (int n = 1; n <= 4; ++n) MakeDrawing(store, n);
  VexaFolderList list(store.env());
  auto holding = std::make_unique<test::HoldingChild>([&] {
    auto* lock = new VexaFolderLock(&store.env());
    return lock->LockZmn(store.Drawing(1).c_str()) == 1;
  });
  ASSERT_TRUE(holding->holding());
  list.Load(1, 0);
  ASSERT_EQ(list.GetFolderNum(), 4);
  const FolMember* first = list.GetFolderMember(0);
  EXPECT_EQ(StateOf(list, store.Drawing(1)), 1);
  EXPECT_EQ(list.RefreshLockStates(), 0) << "nothing changed";

  holding.reset();  // the holder ends: its locks go
  VexaFolderLock other(&store.env());
  ASSERT_EQ(other.LockPage(store.Drawing(3).c_str(), 2), 1);
  ASSERT_EQ(other.LockZmn(store.Drawing(4).c_str()), 1);
  EXPECT_EQ(list.RefreshLockStates(), 3);
  EXPECT_EQ(StateOf(list, store.Drawing(1)), 0);
  EXPECT_EQ(StateOf(list, store.Drawing(2)), 0);
  EXPECT_EQ(StateOf(list, store.Drawing(3)), 1) << "a page in use makes the drawing test answer 1";
  EXPECT_EQ(StateOf(list, store.Drawing(4)), 1);
  EXPECT_EQ(list.GetFolderMember(0), first) << "the records stay where they are";

  other.UnLockAll();
  EXPECT_EQ(list.RefreshLockStates(), 2);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(StateOf(list, store.Drawing(n)), 0) << n;

  VexaFolderList noLocks(store.env());
  noLocks.Load(1, VexaFolderList::kLoadNoLocks);
  EXPECT_EQ(noLocks.RefreshLockStates(), 0) << "a list loaded without locks has no service";
}

}  // namespace
}  // namespace vexa
