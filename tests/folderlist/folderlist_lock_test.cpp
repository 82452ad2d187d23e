// Lock states of loaded records while another process holds drawing and page
// locks through its own lock service.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::HoldingChild;
using test::StoreFixture;
using States = std::map<std::string, int>;

// Lock state per drawing path.
States StatesOf(const VexaFolderList& list) {
  States states;
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
  const std::string unnumbered = StoreFixture::WriteDrawing(store.AppFolder(0x1) + "/Fol.x12");
  VexaFolderLock lock(&store.env());
  VexaFolderList list(store.env());
  {
    HoldingChild holder([&] {
      return lock.LockZmn(whole.c_str()) && lock.LockPage(lowPage.c_str(), 499) &&
             lock.LockPage(highPage.c_str(), 500);
    });
    ASSERT_TRUE(holder.holding());
    list.Load(0x1 | 0x4, 0);
    // A folder without a number counts as locked.
    EXPECT_EQ(
        StatesOf(list),
        (States{
            {whole, 1}, {lowPage, 1}, {highPage, 0}, {free, 0}, {otherApp, 0}, {unnumbered, 1}}));
    // The list's own service sees the same and may lock the free drawing.
    ASSERT_NE(list.GetFolderLock(), nullptr);
    EXPECT_EQ(list.GetFolderLock()->IsLockZmn(whole.c_str()), 1);
    EXPECT_EQ(list.GetFolderLock()->LockZmn(free.c_str()), 1);
    list.Load(0x1, 1);  // no lock states at all
    for (const auto& [path, state] : StatesOf(list)) EXPECT_EQ(state, 0) << path;
  }
  list.Load(0x1, 0);  // the holder is gone
  for (const auto& [path, state] : StatesOf(list)) EXPECT_EQ(state, path == unnumbered) << path;
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
  VexaFolderLock lock(&store.env());
  HoldingChild holder([&] { return lock.LockPage(lockedB.c_str(), 5) == 1; });
  ASSERT_TRUE(holder.holding());
  TwoSitesList list(store.env(), siteA, siteB);
  list.Load(0x1 | 0x4, 0);
  const States states = StatesOf(list);
  ASSERT_EQ(states.size(), 4u);
  EXPECT_EQ(states.at(lockedB), 2);
  EXPECT_EQ(states.at(sameNumberA), 0);
  EXPECT_EQ(states.at(freeB), 0);
}

}  // namespace
}  // namespace vexa
