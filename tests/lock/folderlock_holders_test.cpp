// Who sees which lock: every situation of one drawing, with the other holder
// being another process or another service object of this process, and each
// answer taken by a fresh service (the lock operations change what follows).
#include <array>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "tests/lock/lock_store.h"
#include "tests/support/child_process.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::HoldingChild;
using test::LockStore;

constexpr int kFolderNo = 12;

// Answers of LockZmn, IsLockZmn, IsExistLockPage, LockPage(p), IsLockPage(p).
using Answers = std::array<int, 5>;
// What one service takes in the drawing before it asks; true when granted.
using Holding = std::function<bool(VexaFolderLock&, const char* drawing)>;

struct Situation {
  const char* name;
  Holding others;  // what another holder has
  Holding mine;    // what the asking service has
  int page;
  Answers answers;
};

bool DrawingLock(VexaFolderLock& service, const char* drawing) {
  return service.LockZmn(drawing) == 1;
}
Holding PageLock(int page) {
  return [page](VexaFolderLock& service, const char* drawing) {
    return service.LockPage(drawing, page) == 1;
  };
}

Answers Ask(const LockStore& store, const Holding& mine, int page) {
  const std::string path = store.Drawing(kFolderNo);
  const char* drawing = path.c_str();
  const std::function<int(VexaFolderLock&)> questions[] = {
      [&](VexaFolderLock& s) { return s.LockZmn(drawing); },
      [&](VexaFolderLock& s) { return s.IsLockZmn(drawing); },
      [&](VexaFolderLock& s) { return s.IsExistLockPage(drawing); },
      [&](VexaFolderLock& s) { return s.LockPage(drawing, page); },
      [&](VexaFolderLock& s) { return s.IsLockPage(drawing, page); },
  };
  Answers answers{};
  for (int i = 0; i < 5; ++i) {
    VexaFolderLock service(&store.env());
    answers[i] = (mine && !mine(service, drawing)) ? -1 : questions[i](service);
  }
  return answers;
}

class WhoSeesWhichLock : public testing::TestWithParam<bool> {};

TEST_P(WhoSeesWhichLock, EverySituationOfOneDrawing) {
  const bool inProcess = GetParam();
  const Situation situations[] = {
      {"nothing held", nullptr, nullptr, 3, {1, 0, 0, 1, 0}},
      {"another holder has the drawing lock", DrawingLock, nullptr, 3, {0, 1, 0, 1, 0}},
      {"this service has the drawing lock", nullptr, DrawingLock, 3, {0, 1, 0, 1, 0}},
      {"another holder has page 0", PageLock(0), nullptr, 0, {0, 1, 1, 0, 1}},
      {"another holder has page 499", PageLock(499), nullptr, 499, {0, 1, 1, 0, 1}},
      {"another holder has page 500", PageLock(500), nullptr, 500, {1, 0, 0, 0, 1}},
      {"this service has page 3", nullptr, PageLock(3), 3, {1, 0, 0, 0, 1}},
  };
  for (const Situation& situation : situations) {
    SCOPED_TRACE(situation.name);
    LockStore store;
    const std::string path = store.Drawing(kFolderNo);
    VexaFolderLock otherService(&store.env());
    std::unique_ptr<HoldingChild> otherProcess;
    if (situation.others && inProcess) {
      ASSERT_TRUE(situation.others(otherService, path.c_str()));
    } else if (situation.others) {
      otherProcess = std::make_unique<HoldingChild>(
          [&] { return situation.others(otherService, path.c_str()); });
      ASSERT_TRUE(otherProcess->holding());
    }
    EXPECT_EQ(Ask(store, situation.mine, situation.page), situation.answers);
    if (otherProcess) {
      EXPECT_EQ(otherProcess->Release(), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(OtherHolders, WhoSeesWhichLock, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "AnotherServiceObject" : "AnotherProcess";
                         });

TEST(FolderLockProcesses, AKilledHoldersLockFilesAreReusedAsTheyAre) {
  LockStore store;
  const std::string path = store.Drawing(kFolderNo);
  VexaFolderLock holding(&store.env());
  HoldingChild holder(
      [&] { return holding.LockZmn(path.c_str()) == 1 && holding.LockPage(path.c_str(), 3) == 1; });
  ASSERT_TRUE(holder.holding());
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 1);
  EXPECT_EQ(service.IsLockPage(path.c_str(), 3), 1);
  ASSERT_EQ(holder.Kill(), 128 + SIGKILL);

  // The leftovers hold nothing; their content stays and their length is set again.
  VexaFolderLock fresh(&store.env());
  test::WriteFileBytes(store.DrawingLockFile(), "stays");
  EXPECT_EQ(fresh.IsExistLockPage(path.c_str()), 0);
  EXPECT_EQ(fresh.LockZmn(path.c_str()), 1);
  EXPECT_EQ(LockStore::SizeOf(store.DrawingLockFile()), 1000);
  EXPECT_EQ(test::ReadFileBytes(store.DrawingLockFile()).substr(0, 5), "stays");
  EXPECT_EQ(fresh.LockPage(path.c_str(), 3), 1);
  EXPECT_EQ(LockStore::SizeOf(store.PageLockFile(kFolderNo)), 501);
  // The service that saw the holder's locks sees them gone too.
  EXPECT_EQ(service.IsLockPage(path.c_str(), 4), 0);
}

TEST(FolderLockProcesses, LockFilesDisappearWithTheirLastUser) {
  LockStore store;
  const std::string path = store.Drawing(kFolderNo);
  VexaFolderLock user(&store.env());
  HoldingChild child([&] { return user.LockPage(path.c_str(), 600) == 1; },
                     [&] {
                       user.UnLockAll();
                       return LockStore::Exists(store.PageLockFile(kFolderNo)) ? 2 : 0;
                     });
  ASSERT_TRUE(child.holding());
  {
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.LockZmn(path.c_str()), 1);
    EXPECT_EQ(service.IsLockPage(path.c_str(), 600), 1);
  }  // destroyed: closes and tries to remove both lock files
  EXPECT_TRUE(LockStore::Exists(store.DrawingLockFile()));
  EXPECT_TRUE(LockStore::Exists(store.PageLockFile(kFolderNo)));
  EXPECT_EQ(child.Release(), 0);
  EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));
}

// Within one process: the holder alone releases, unlocking the drawing drops
// this service's page locks of it, copies share one table, UnLockAll removes
// the files.
TEST(FolderLockService, UnlocksReleaseOnlyWhatThisServiceHolds) {
  LockStore store;
  const std::string path = store.Drawing(kFolderNo), path13 = store.Drawing(13);
  const char* drawing = path.c_str();
  VexaFolderLock mine(&store.env()), other(&store.env());
  VexaFolderLock copy = mine;
  ASSERT_EQ(mine.LockZmn(drawing), 1);
  EXPECT_EQ(copy.LockZmn(drawing), 0);  // the same handle holds it
  other.UnLockZmn(drawing);             // not its lock
  EXPECT_EQ(other.IsLockZmn(drawing), 1);
  ASSERT_EQ(copy.LockPage(drawing, 3), 1);
  ASSERT_EQ(mine.LockPage(drawing, 4), 1);
  ASSERT_EQ(mine.LockPage(path13.c_str(), 3), 1);
  mine.UnLockPage(drawing, 3);
  EXPECT_EQ(other.IsLockPage(drawing, 3), 0);
  EXPECT_EQ(other.IsLockPage(drawing, 4), 1);
  mine.UnLockZmn(drawing);
  EXPECT_EQ(other.IsLockZmn(drawing), 0);
  EXPECT_EQ(other.IsLockPage(drawing, 4), 0);
  EXPECT_EQ(other.IsLockPage(path13.c_str(), 3), 1);  // another drawing
  ASSERT_EQ(mine.LockZmn(drawing), 1);
  mine.UnLockAll();
  other.UnLockAll();  // the last user removes the files
  EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));
  EXPECT_FALSE(LockStore::Exists(store.PageLockFile(kFolderNo)));
  EXPECT_EQ(other.LockZmn(drawing), 1);
  EXPECT_EQ(mine.LockZmn(drawing), 0);  // the service works on after UnLockAll
}

}  // namespace
}  // namespace vexa
