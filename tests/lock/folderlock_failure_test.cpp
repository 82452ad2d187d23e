// Every failure of the lock service folds into its results: lock operations
// answer 0, tests answer 1, unlocks do nothing.
#include <array>

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"
#include "tests/support/fault_env.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using test::LockStore;

// Answers of LockZmn, LockPage, IsLockZmn, IsLockPage, IsExistLockPage, each
// from a fresh service so that no answer depends on another.
std::array<int, 5> Fresh(const LockStore& store, const std::string& path) {
  const char* drawing = path.c_str();
  return {VexaFolderLock(&store.env()).LockZmn(drawing),
          VexaFolderLock(&store.env()).LockPage(drawing, 3),
          VexaFolderLock(&store.env()).IsLockZmn(drawing),
          VexaFolderLock(&store.env()).IsLockPage(drawing, 3),
          VexaFolderLock(&store.env()).IsExistLockPage(drawing)};
}

TEST(FolderLockFailures, EachConditionGivesItsAnswersAndUnlocksDoNothing) {
  struct Row {
    const char* condition;
    std::string name;         // of the drawing folder in the application folder
    const char* failingOpen;  // lock file whose open fails, or nullptr
    std::array<int, 5> answers;
  };
  const Row rows[] = {
      {"no folder number", "Fol", nullptr, {0, 0, 1, 1, 1}},
      {"folder number 0", "Fol.000", nullptr, {0, 0, 1, 1, 1}},
      {"folder number 1000", "Fol.1000", nullptr, {0, 0, 1, 1, 1}},
      {"negative folder number", "Fol.-1", nullptr, {0, 0, 1, 1, 1}},
      // The page scan does not need the drawing lock file.
      {"drawing lock file cannot be opened", "Fol.012", "CADAPP.LOC", {0, 0, 1, 1, 0}},
      {"page lock file cannot be opened", "Fol.012", "FOL012.LOC", {0, 0, 1, 1, 1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.condition);
    LockStore store;
    std::string path = store.AppFolder();
    store.env().AddFileName(path, row.name);
    // A page lock held beside the drawing (page 600 is not scanned).
    VexaFolderLock holder(&store.env());
    const bool holds = holder.LockPage(path.c_str(), 600) == 1;
    if (row.failingOpen) test::WriteFileBytes(store.PageLockFile(12), "");
    FaultEnv faults;
    platform::ScopedEnv scoped(faults);
    if (row.failingOpen) faults.Fail(Op::Open, EACCES, row.failingOpen);
    EXPECT_EQ(Fresh(store, path), row.answers);
    VexaFolderLock service(&store.env());
    service.UnLockZmn(path.c_str());
    service.UnLockPage(path.c_str(), 600);
    faults.Clear();
    if (holds) {
      EXPECT_EQ(holder.IsLockPage(path.c_str(), 600), 1);
    }
  }
}

TEST(FolderLockFailures, ARefusedPageLockFileReleasesTheDrawingLockAgain) {
  LockStore store;
  const std::string path = store.Drawing(12);
  test::WriteFileBytes(store.PageLockFile(12), "");
  FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "FOL012.LOC");
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
  platform::ScopedEnv scoped(faults);
  faults.Fail(Op::Open, EACCES, "FOL012.LOC");
  // The scans find no page lock file and never try to open one.
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.IsExistLockPage(path.c_str()), 0);
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 0);
  EXPECT_EQ(service.LockZmn(path.c_str()), 1);
  EXPECT_EQ(service.LockPage(path.c_str(), 3), 0);  // this one must open it
}

TEST(FolderLockFailures, ABadHandleOrNoEnvironmentLosesTheLocks) {
  LockStore store;
  const std::string path = store.Drawing(12);
  VexaFolderLock service;
  EXPECT_EQ(service.LockZmn(path.c_str()), 0);
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 1);
  VexaFolderLock copy = service;
  copy.SetEnvObj(store.env());  // the copies share the table and its environment
  ASSERT_EQ(service.LockZmn(path.c_str()), 1);
  EXPECT_EQ(service.LockZmn(nullptr), 0);
  FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(Op::Fstat, EIO, "CADAPP.LOC", 0, 1);
  EXPECT_EQ(service.LockZmn(path.c_str()), 1);  // reopened without the old lock
  EXPECT_EQ(service.LockZmn(path.c_str()), 0);
}

}  // namespace
}  // namespace vexa
