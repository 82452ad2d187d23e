// Lock states of loaded records while another process holds drawing and page
// locks through its own lock service.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <string>

#include "tests/folderlist/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::StoreFixture;

// A child process that takes locks with its own VexaFolderLock and holds them
// until the holder is destroyed.
class LockHolder {
 public:
  LockHolder(const CEnvironObj& env, const std::function<bool(VexaFolderLock&)>& take) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      VexaFolderLock lock(&env);
      const char answer = take(lock) ? '1' : '0';
      if (write(ready[1], &answer, 1) != 1) _exit(2);
      char byte;
      while (read(release[0], &byte, 1) > 0) {
      }
      _exit(0);  // the kernel drops the locks; no destructors of the parent's objects run
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char answer = '0';
    ok_ = pid_ > 0 && read(ready[0], &answer, 1) == 1 && answer == '1';
    close(ready[0]);
  }
  ~LockHolder() {
    if (release_ >= 0) close(release_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  bool ok() const { return ok_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool ok_ = false;
};

// Lock state per drawing path.
std::map<std::string, int> States(const VexaFolderList& list) {
  std::map<std::string, int> states;
  for (int i = 0; i < list.GetFolderNum(); ++i)
    states[list.GetFolderMember(i)->path] = list.GetFolderMember(i)->lockState;
  return states;
}

TEST(FolderListLocks, RecordsShowWhatAnotherProcessHolds) {
  StoreFixture store;
  const std::string whole = store.WriteAppDrawing(0x1, 2);
  const std::string lowPage = store.WriteAppDrawing(0x1, 3);
  const std::string highPage = store.WriteAppDrawing(0x1, 4);
  const std::string free = store.WriteAppDrawing(0x1, 5);
  const std::string otherApp = store.WriteAppDrawing(0x4, 2);

  VexaFolderList list(store.env());
  {
    LockHolder holder(store.env(), [&](VexaFolderLock& lock) {
      return lock.LockZmn(whole.c_str()) && lock.LockPage(lowPage.c_str(), 499) &&
             lock.LockPage(highPage.c_str(), 500);
    });
    ASSERT_TRUE(holder.ok());
    list.Load(0x1 | 0x4, 0);
    EXPECT_EQ(States(list),
              (std::map<std::string, int>{
                  {whole, 1}, {lowPage, 1}, {highPage, 0}, {free, 0}, {otherApp, 0}}));
    // The list's own service sees the same and may lock the free drawing.
    VexaFolderLock* lock = list.GetFolderLock();
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->IsLockZmn(whole.c_str()), 1);
    EXPECT_EQ(lock->LockZmn(free.c_str()), 1);

    list.Load(0x1, 1);  // no lock states at all
    for (const auto& [path, state] : States(list)) EXPECT_EQ(state, 0) << path;
  }
  list.Load(0x1, 0);  // the holder is gone
  for (const auto& [path, state] : States(list)) EXPECT_EQ(state, 0) << path;
}

// Two application folders whose drawings share one lock slot: the slot's lock
// files lie beside the first folder used, so a page locked beside the second
// one is seen only by the page test, giving lock state 2.
class TwoSitesList : public VexaFolderList {
 public:
  TwoSitesList(const CEnvironObj& env, std::string first, std::string second)
      : VexaFolderList(env), first_(std::move(first)), second_(std::move(second)) {}
  int GetAppFolder(int appId, std::string* folder) const override {
    const std::string& path = appId == 0x1 ? first_ : appId == 0x4 ? second_ : empty_;
    if (folder) *folder = path;
    return path.empty() ? 0 : 1;
  }

 private:
  std::string first_, second_, empty_;
};

TEST(FolderListLocks, PageLockBesideASecondFolderOfTheSameSlotGivesState2) {
  StoreFixture store;
  const std::string siteA = store.dir() / "A/CAD/HNY";
  const std::string siteB = store.dir() / "B/CAD/HNY";
  StoreFixture::WriteDrawing(siteA + "/Fol.001");
  const std::string sameNumberA = StoreFixture::WriteDrawing(siteA + "/Fol.003");
  const std::string lockedB = StoreFixture::WriteDrawing(siteB + "/Fol.003");
  const std::string freeB = StoreFixture::WriteDrawing(siteB + "/Fol.004");

  LockHolder holder(store.env(),
                    [&](VexaFolderLock& lock) { return lock.LockPage(lockedB.c_str(), 5) == 1; });
  ASSERT_TRUE(holder.ok());
  TwoSitesList list(store.env(), siteA, siteB);
  list.Load(0x1 | 0x4, 0);
  const std::map<std::string, int> states = States(list);
  ASSERT_EQ(states.size(), 4u);
  EXPECT_EQ(states.at(lockedB), 2);
  EXPECT_EQ(states.at(sameNumberA), 0);
  EXPECT_EQ(states.at(freeB), 0);
}

TEST(FolderListLocks, FolderWithoutANumberCountsAsLocked) {
  StoreFixture store;
  const std::string unnumbered = StoreFixture::WriteDrawing(store.AppFolder(0x1) + "/Fol.x12");
  const std::string zero = StoreFixture::WriteDrawing(store.AppFolder(0x1) + "/Fol.000");
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  EXPECT_EQ(States(list), (std::map<std::string, int>{{unnumbered, 1}, {zero, 1}}));
  list.Load(0x1, 1);
  EXPECT_EQ(States(list), (std::map<std::string, int>{{unnumbered, 0}, {zero, 0}}));
}

}  // namespace
}  // namespace vexa
