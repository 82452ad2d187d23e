// Who sees which lock: every situation of one drawing, with the other holder
// being another process or another service object of this process, and each
// answer taken by a fresh service (the lock operations change what follows).
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "tests/file/child_process.h"
#include "tests/lock/lock_store.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::ChildProcess;
using test::LockStore;
using test::Signal;

constexpr int kFolderNo = 12;

struct Answers {
  int lockZmn, isLockZmn, isExistLockPage, lockPage, isLockPage;
  bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& a) {
  return out << "{" << a.lockZmn << "," << a.isLockZmn << "," << a.isExistLockPage << ","
             << a.lockPage << "," << a.isLockPage << "}";
}

// Sets up what one service holds in the drawing (nothing when empty).
using Holding = std::function<void(VexaFolderLock&, const char* drawing)>;

Holding DrawingLock() {
  return
      [](VexaFolderLock& service, const char* drawing) { ASSERT_EQ(service.LockZmn(drawing), 1); };
}
Holding PageLock(int page) {
  return [page](VexaFolderLock& service, const char* drawing) {
    ASSERT_EQ(service.LockPage(drawing, page), 1);
  };
}

// Each answer from a service that first takes `mine`, then asks once.
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
  int answers[5];
  for (int i = 0; i < 5; ++i) {
    VexaFolderLock service(&store.env());
    if (mine) mine(service, drawing);
    answers[i] = questions[i](service);
  }
  return {answers[0], answers[1], answers[2], answers[3], answers[4]};
}

// The other holder: a forked process, or a service object of this process.
class OtherHolder {
 public:
  OtherHolder(const LockStore& store, const Holding& holding, bool inProcess) {
    const std::string path = store.Drawing(kFolderNo);
    if (inProcess) {
      service_ = std::make_unique<VexaFolderLock>(&store.env());
      holding(*service_, path.c_str());
      return;
    }
    child_ = std::make_unique<ChildProcess>([&] {
      done_.CloseGiving();
      VexaFolderLock service(&store.env());
      holding(service, path.c_str());
      if (testing::Test::HasFailure()) return 1;
      ready_.Give();
      done_.Take();
      return 0;
    });
    ready_.CloseGiving();
    EXPECT_TRUE(ready_.Take()) << "the holder process could not take its lock";
  }
  ~OtherHolder() {
    if (!child_) return;
    done_.Give();
    EXPECT_EQ(child_->Wait(), 0);
  }

 private:
  Signal ready_, done_;
  std::unique_ptr<VexaFolderLock> service_;
  std::unique_ptr<ChildProcess> child_;
};

class WhoSeesWhichLock : public testing::TestWithParam<bool> {
 protected:
  bool inProcess() const { return GetParam(); }
  LockStore store_;
};

TEST_P(WhoSeesWhichLock, NothingHeld) {
  EXPECT_EQ(Ask(store_, nullptr, 3), (Answers{1, 0, 0, 1, 0}));
}

TEST_P(WhoSeesWhichLock, AnotherHolderHasTheDrawingLock) {
  OtherHolder other(store_, DrawingLock(), inProcess());
  EXPECT_EQ(Ask(store_, nullptr, 3), (Answers{0, 1, 0, 1, 0}));
}

TEST_P(WhoSeesWhichLock, ThisServiceHasTheDrawingLock) {
  EXPECT_EQ(Ask(store_, DrawingLock(), 3), (Answers{0, 1, 0, 1, 0}));
}

TEST_P(WhoSeesWhichLock, AnotherHolderHasAPageBelow500) {
  for (int page : {0, 3, 499}) {
    OtherHolder other(store_, PageLock(page), inProcess());
    EXPECT_EQ(Ask(store_, nullptr, page), (Answers{0, 1, 1, 0, 1})) << page;
  }
}

TEST_P(WhoSeesWhichLock, AnotherHolderHasAPageFrom500On) {
  for (int page : {500, 777}) {
    OtherHolder other(store_, PageLock(page), inProcess());
    EXPECT_EQ(Ask(store_, nullptr, page), (Answers{1, 0, 0, 0, 1})) << page;
  }
}

TEST_P(WhoSeesWhichLock, ThisServiceHasAPage) {
  EXPECT_EQ(Ask(store_, PageLock(3), 3), (Answers{1, 0, 0, 0, 1}));
}

INSTANTIATE_TEST_SUITE_P(OtherHolders, WhoSeesWhichLock, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "AnotherServiceObject" : "AnotherProcess";
                         });

TEST(FolderLockProcesses, AKilledHoldersLockFilesAreReusedAsTheyAre) {
  LockStore store;
  const std::string path = store.Drawing(kFolderNo);
  Signal ready;
  ChildProcess holder([&] {
    VexaFolderLock service(&store.env());
    if (service.LockZmn(path.c_str()) != 1 || service.LockPage(path.c_str(), 3) != 1) return 1;
    ready.Give();
    for (;;) pause();
  });
  ready.CloseGiving();
  ASSERT_TRUE(ready.Take());
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.IsLockZmn(path.c_str()), 1);
  EXPECT_EQ(service.IsExistLockPage(path.c_str()), 1);
  holder.Kill();
  ASSERT_EQ(holder.Wait(), 128 + SIGKILL);

  // The leftovers hold nothing; their content stays and their length is set again.
  ASSERT_TRUE(LockStore::Exists(store.DrawingLockFile()));
  ASSERT_TRUE(LockStore::Exists(store.PageLockFile(kFolderNo)));
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
  Signal ready, done;
  ChildProcess user([&] {
    done.CloseGiving();
    VexaFolderLock service(&store.env());
    if (service.LockPage(path.c_str(), 600) != 1) return 1;
    ready.Give();
    done.Take();
    service.UnLockAll();
    return LockStore::Exists(store.PageLockFile(kFolderNo)) ? 2 : 0;
  });
  ready.CloseGiving();
  ASSERT_TRUE(ready.Take());
  {
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.LockZmn(path.c_str()), 1);
    EXPECT_EQ(service.IsLockPage(path.c_str(), 600), 1);
  }  // destroyed: closes and tries to remove both lock files
  EXPECT_TRUE(LockStore::Exists(store.DrawingLockFile()));
  EXPECT_TRUE(LockStore::Exists(store.PageLockFile(kFolderNo)));
  done.Give();
  EXPECT_EQ(user.Wait(), 0);
  EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));
}

}  // namespace
}  // namespace vexa
