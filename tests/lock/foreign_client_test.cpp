// Clients that know nothing of the in-use mark (Windows clients through a file
// server or Wine, plain fcntl users) share the store: their byte locks count
// wherever a lock counts, no lock file is deleted or cut short under them, and
// a lock file they delete under a holder is taken back on the holder's next
// call. Also lock files with a second name (hard links).
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "lock/lock_file.h"
#include "lock/recycle_lock.h"
#include "tests/lock/lock_store.h"
#include "tests/support/foreign_client.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::ForeignClient;
using test::LockStore;
using test::StoreFixture;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int LockStateOf(const VexaFolderList& list, const std::string& path) {
  for (int i = 0; i < list.GetFolderNum(); ++i)
    if (list.GetFolderMember(i)->path == path) return list.GetFolderMember(i)->lockState;
  return -1;
}

TEST(ForeignClient, ItsDrawingLockCountsEverywhereAndItsFileStays) {
  StoreFixture store;
  const std::string held = store.WriteAppDrawing(0x1, 5);
  const std::string free = store.WriteAppDrawing(0x1, 6);
  const std::string lockFile = store.AppFolder(0x1) + "/CADAPP.LOC";
  ForeignClient client(lockFile, 5);
  ASSERT_TRUE(client.holding());
  {
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.IsLockZmn(held.c_str()), 1);
    EXPECT_EQ(service.LockZmn(held.c_str()), 0);
    EXPECT_EQ(service.IsLockZmn(free.c_str()), 0);
    VexaFolderList list(store.env());
    list.Load(0x1, 0);
    EXPECT_EQ(LockStateOf(list, held), 1);
    EXPECT_EQ(LockStateOf(list, free), 0);
  }  // the list's and the service's lock files are closed here, as last users
  EXPECT_TRUE(LockStore::Exists(lockFile));
  EXPECT_EQ(LockStore::SizeOf(lockFile), 1000);

  // The next user is still refused, and gets the drawing once the client lets go.
  VexaFolderLock next(&store.env());
  EXPECT_EQ(next.LockZmn(held.c_str()), 0);
  client.Release();
  EXPECT_EQ(next.LockZmn(held.c_str()), 1);
}

TEST(ForeignClient, ItsPageLockCountsAndThePageLockFileStays) {
  LockStore store;
  const std::string drawing = store.Drawing(5);
  const std::string pageFile = store.PageLockFile(5);
  ASSERT_EQ(store.env().CreateDir(pageFile, 0), 1);
  ForeignClient client(pageFile, 3);
  ASSERT_TRUE(client.holding());
  {
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.IsExistLockPage(drawing.c_str()), 1);
    EXPECT_EQ(service.IsLockZmn(drawing.c_str()), 1);
    EXPECT_EQ(service.LockZmn(drawing.c_str()), 0);
    EXPECT_EQ(service.IsLockPage(drawing.c_str(), 3), 1);
    EXPECT_EQ(service.LockPage(drawing.c_str(), 4), 1);
    service.UnLockAll();
  }
  EXPECT_TRUE(LockStore::Exists(pageFile));
  EXPECT_EQ(LockStore::SizeOf(pageFile), 501);
}

TEST(ForeignClient, ItsRecycleLockRefusesEveryDeletionUntilReleased) {
  LockStore store;
  const std::string recycle = store.AppFolder() + "/RECYCCAD";
  ASSERT_EQ(store.env().CreateDir(recycle, 1), 1);
  const std::string lockTmp = recycle + "/LOCK.TMP";
  ForeignClient client(lockTmp, 0);
  ASSERT_TRUE(client.holding());
  for (int attempt = 0; attempt < 2; ++attempt) {
    RecycleFolderLock lock(store.env(), recycle);
    EXPECT_FALSE(lock.IsHeld()) << "attempt " << attempt;
  }
  EXPECT_TRUE(LockStore::Exists(lockTmp));
  client.Release();
  RecycleFolderLock lock(store.env(), recycle);
  EXPECT_TRUE(lock.IsHeld());
}

// A client may have a lock file open without locking anything; only a store
// that says so keeps its lock files for it. Elsewhere the last user deletes.
TEST(ForeignClient, AStoreWithTheMarkerKeepsItsLockFiles) {
  for (const bool marked : {false, true}) {
    LockStore store;
    // The marker normally lies in the data folder, some folders above the lock files.
    const std::string above = store.env().GetDirNameFromRelativePath(store.AppFolder());
    ASSERT_EQ(store.env().CreateDir(store.DrawingLockFile(), 0), 1);
    if (marked) WriteFile(above + "/" + lock::kKeepLockFilesMarker, "");
    const std::string drawing = store.Drawing(8);
    {
      VexaFolderLock service(&store.env());
      ASSERT_EQ(service.LockZmn(drawing.c_str()), 1);
      ASSERT_EQ(service.LockPage(drawing.c_str(), 2), 1);
    }
    EXPECT_EQ(LockStore::Exists(store.DrawingLockFile()), marked) << "marked " << marked;
    EXPECT_EQ(LockStore::Exists(store.PageLockFile(8)), marked) << "marked " << marked;
    // A kept file is reused as it is.
    VexaFolderLock again(&store.env());
    EXPECT_EQ(again.LockZmn(drawing.c_str()), 1);
  }
}

// A Windows client deletes a lock file as its "last user" although a Linux
// holder has it open (its server sees only its own handles). The holder's next
// call takes its bytes again on the file the path names now.
TEST(ForeignClient, ALockFileDeletedUnderItsHolderIsTakenBackOnTheNextCall) {
  LockStore store;
  const std::string drawing = store.Drawing(6);
  const std::string paged = store.Drawing(7);
  VexaFolderLock holder(&store.env());
  ASSERT_EQ(holder.LockZmn(drawing.c_str()), 1);
  ASSERT_EQ(holder.LockPage(paged.c_str(), 2), 1);
  ASSERT_EQ(unlink(store.DrawingLockFile().c_str()), 0);
  ASSERT_EQ(unlink(store.PageLockFile(7).c_str()), 0);

  EXPECT_EQ(holder.IsLockZmn(drawing.c_str()), 1);
  EXPECT_EQ(holder.IsLockPage(paged.c_str(), 2), 1);
  VexaFolderLock other(&store.env());
  EXPECT_EQ(other.LockZmn(drawing.c_str()), 0);
  EXPECT_EQ(other.LockPage(paged.c_str(), 2), 0);
  EXPECT_EQ(other.IsExistLockPage(paged.c_str()), 1);
  EXPECT_EQ(LockStore::SizeOf(store.DrawingLockFile()), 1000);
  EXPECT_EQ(LockStore::SizeOf(store.PageLockFile(7)), 501);
}

// The page scan of a record whose file was deleted and made anew must look at
// the new file: the pages locked there are the ones that count.
TEST(ForeignClient, APageScanFollowsAPageLockFileMadeAnew) {
  LockStore store;
  const std::string drawing = store.Drawing(9);
  VexaFolderLock scanner(&store.env());
  ASSERT_EQ(scanner.IsLockPage(drawing.c_str(), 0), 0);  // opens the page lock file
  ASSERT_EQ(unlink(store.PageLockFile(9).c_str()), 0);
  ForeignClient client(store.PageLockFile(9), 1);
  ASSERT_TRUE(client.holding());
  EXPECT_EQ(scanner.IsExistLockPage(drawing.c_str()), 1);
  EXPECT_EQ(scanner.LockZmn(drawing.c_str()), 0);
}

// A member of the group plants a lock file name as a second name of another
// file of the store: no lock command may resize or truncate that file.
TEST(HardLinkedLockFile, IsNeverWrittenAndCountsAsUnusable) {
  LockStore store;
  const std::string drawing = store.Drawing(3);
  const std::string victim = store.AppFolder() + "/victim.dat";
  ASSERT_EQ(store.env().CreateDir(victim, 0), 1);
  WriteFile(victim, "precious");
  const std::string recycle = store.AppFolder() + "/RECYCCAD";
  ASSERT_EQ(store.env().CreateDir(recycle, 1), 1);
  for (const std::string& name :
       {store.DrawingLockFile(), store.PageLockFile(3), recycle + "/LOCK.TMP"})
    ASSERT_EQ(link(victim.c_str(), name.c_str()), 0) << name;

  {
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.IsLockZmn(drawing.c_str()), 1);
    EXPECT_EQ(service.LockZmn(drawing.c_str()), 0);
    EXPECT_EQ(service.IsExistLockPage(drawing.c_str()), 1);
    RecycleFolderLock recycleLock(store.env(), recycle);
    EXPECT_FALSE(recycleLock.IsHeld());
    EXPECT_EQ(recycleLock.Error(), EMLINK);
  }
  EXPECT_EQ(LockStore::SizeOf(victim), 8);
  struct stat st;
  ASSERT_EQ(stat(victim.c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 4u);  // no name was deleted either
}

// A lock file whose maker died between giving it its name and removing its
// draft name has two names, both the library's: the draft goes, the file is used.
TEST(HardLinkedLockFile, ADraftNameLeftByADeadMakerIsRemoved) {
  LockStore store;
  ASSERT_EQ(store.env().CreateDir(store.DrawingLockFile(), 0), 1);
  WriteFile(store.DrawingLockFile(), std::string(1000, '\0'));
  const std::string draft = store.AppFolder() + "/.vexafol-new.99999.0.CADAPP.LOC";
  ASSERT_EQ(link(store.DrawingLockFile().c_str(), draft.c_str()), 0);
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.LockZmn(store.Drawing(2).c_str()), 1);
  EXPECT_FALSE(LockStore::Exists(draft));
}

}  // namespace
}  // namespace vexa
