// Every failure of the lock service folds into its results: lock operations
// answer 0, tests answer 1, unlocks do nothing.
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

struct Results {
  int lockZmn, lockPage, isLockZmn, isLockPage, isExistLockPage;
  bool operator==(const Results&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Results& r) {
  return out << "{" << r.lockZmn << "," << r.lockPage << "," << r.isLockZmn << "," << r.isLockPage
             << "," << r.isExistLockPage << "}";
}

// Each operation on a fresh service, so that no answer depends on another.
Results Fresh(const LockStore& store, const std::string& path) {
  const char* drawing = path.c_str();
  Results results{};
  results.lockZmn = VexaFolderLock(&store.env()).LockZmn(drawing);
  results.lockPage = VexaFolderLock(&store.env()).LockPage(drawing, 3);
  results.isLockZmn = VexaFolderLock(&store.env()).IsLockZmn(drawing);
  results.isLockPage = VexaFolderLock(&store.env()).IsLockPage(drawing, 3);
  results.isExistLockPage = VexaFolderLock(&store.env()).IsExistLockPage(drawing);
  return results;
}

TEST(FolderLockFailures, FolderNumbersOutside1To999) {
  LockStore store;
  for (const char* name : {"Fol", "Fol.000", "Fol.1000", "Fol.abc", "Fol.-1"}) {
    std::string path = store.AppFolder();
    store.env().AddFileName(path, name);
    EXPECT_EQ(Fresh(store, path), (Results{0, 0, 1, 1, 1})) << name;
    VexaFolderLock service(&store.env());
    service.UnLockZmn(path.c_str());
    service.UnLockPage(path.c_str(), 3);
  }
  EXPECT_FALSE(LockStore::Exists(store.PageLockFile(0)));
  EXPECT_FALSE(LockStore::Exists(store.PageLockFile(1000)));
}

TEST(FolderLockFailures, TheDrawingLockFileCannotBeOpened) {
  LockStore store;
  const std::string path = store.Drawing(12);
  VexaFolderLock holder(&store.env());
  ASSERT_EQ(holder.LockPage(path.c_str(), 600), 1);  // a page lock file exists
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "CADAPP.LOC");
  // IsExistLockPage does not need the drawing lock file; page 600 is not scanned.
  EXPECT_EQ(Fresh(store, path), (Results{0, 0, 1, 1, 0}));
  VexaFolderLock service(&store.env());
  service.UnLockZmn(path.c_str());
  service.UnLockPage(path.c_str(), 600);
  EXPECT_EQ(holder.IsLockPage(path.c_str(), 600), 1);  // still held
}

TEST(FolderLockFailures, ThePageLockFileCannotBeOpened) {
  LockStore store;
  const std::string path = store.Drawing(12);
  test::WriteFileBytes(store.PageLockFile(12), "");
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "FOL012.LOC");
  EXPECT_EQ(Fresh(store, path), (Results{0, 0, 1, 1, 1}));

  // The refused drawing lock was released again: once the file opens, it is granted.
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.LockZmn(path.c_str()), 0);
  faults.Clear();
  VexaFolderLock other(&store.env());
  EXPECT_EQ(other.LockZmn(path.c_str()), 1);
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 1);
}

TEST(FolderLockFailures, NoPageLockFileIsNoFailure) {
  LockStore store;
  const std::string path = store.Drawing(12);
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "FOL012.LOC");
  // The scans find no page lock file and never try to open one.
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.IsExistLockPage(path.c_str()), 0);
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 0);
  EXPECT_EQ(service.LockZmn(path.c_str()), 1);
  EXPECT_EQ(service.LockPage(path.c_str(), 3), 0);  // this one must open it
}

}  // namespace
}  // namespace vexa
