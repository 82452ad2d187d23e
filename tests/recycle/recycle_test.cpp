// Deleting drawings into the recycle folder, against real folders: the slots
// and their reorganisation, the container names, each failing step with its
// message, and a drawing held by another process.
#include "vexafol/recycle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <tuple>

#include "platform/env.h"
#include "platform/sysinfo.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa::test {
namespace {

using platform::Op;

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  platform::Env().ListDir(folder, entries);
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

class RecycleTest : public ::testing::Test {
 protected:
  // Drawing n of the general application, loaded as the dialog would.
  FolMember Drawing(int n, const std::string& title = "図面") {
    DrawingSpec spec;
    spec.title = title;
    store_.WriteAppDrawing(0x1, n, spec);
    VexaFolderList list(store_.env());
    list.Load(0x1, 0);
    for (int i = 0; i < list.GetFolderNum(); ++i) {
      const FolMember* member = list.GetFolderMember(i);
      if (member->GetFolderNo(store_.env()) == n - 1) return *member;
    }
    ADD_FAILURE() << "drawing " << n << " not loaded";
    return {};
  }
  // A container of slot n holding a drawing folder, as an earlier deletion left it.
  std::string Occupy(int n, const std::string& name) {
    char ext[8];
    std::snprintf(ext, sizeof ext, ".%03d", n);
    const std::string container = store_.Recycle() + "/" + name + ext;
    StoreFixture::WriteDrawing(container + "/Fol.009");
    return container;
  }
  std::string Delete(const FolMember& member) {
    std::string error;
    return MoveToRecycle(store_.env(), member, error) ? "" : (error.empty() ? "failed" : error);
  }

  StoreFixture store_;
};

TEST_F(RecycleTest, FirstDeletionMakesTheRecycleFolderAndFillsSlotOne) {
  const FolMember member = Drawing(7, "道路 a/b:c");
  EXPECT_EQ(DeleteLabel(store_.env(), member), "図面 [7] \"道路 a/b:c\"");
  ASSERT_EQ(Delete(member), "");
  const std::string slot1 = FindRecycleSlot(store_.env(), store_.Recycle(), 1);
  const std::string name = "[WORK.001][SITE.001][HNY][道路 a／b：c].001";
  EXPECT_EQ(RecycleContainerName(store_.env(), member, 1), name);
  EXPECT_EQ(Entries(store_.Recycle()), std::vector<std::string>{name});  // no LOCK.TMP
  EXPECT_EQ(Entries(slot1), std::vector<std::string>{"Fol.007"});
  EXPECT_TRUE(Exists(slot1 + "/Fol.007/INDEX.VXF"));
  EXPECT_FALSE(Exists(member.path));
  // The recycle scan finds it again, under its application.
  VexaFolderList recycled(store_.env());
  recycled.Load(0x1, VexaFolderList::kLoadRecycled);
  ASSERT_EQ(recycled.GetFolderNum(), 1);
  const std::vector<RecycleSlot> slots = ListRecycleSlots(store_.env());
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_EQ(std::tie(slots[0].slot, slots[0].title, slots[0].appId, slots[0].drawing),
            std::make_tuple(1, std::string("道路 a/b:c"), 0x1, slot1 + "/Fol.007"));
}

TEST_F(RecycleTest, NineCharactersBecomeFullWidthAndLongNamesStayValid) {
  EXPECT_EQ(ReplaceFileNameChars("\\/:*?\"<>|x図"), "￥／：＊？”＜＞｜x図");
  FolMember member = Drawing(1, std::string(40, '?') + "ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺ");
  const std::string name = RecycleContainerName(store_.env(), member, 10);
  EXPECT_LE(name.size(), 255u);
  EXPECT_EQ(name.substr(name.size() - 5), "].010");
  ASSERT_EQ(Delete(member), "");
  // A name that is not CP932 at all still makes a container.
  member = Drawing(2);
  std::fill(std::begin(member.header.title), std::end(member.header.title) - 1, '\xff');
  ASSERT_EQ(Delete(member), "");
  EXPECT_EQ(ListRecycleSlots(store_.env()).size(), 2u);
}

TEST_F(RecycleTest, GapsCloseInOrderOlderDeletionsMoveUpAndTheEleventhDropsTheOldest) {
  Occupy(1, "[a][b][HNY][one]");
  Occupy(2, "[a][b][HNY][two]");
  Occupy(4, "[a][b][HNY][four]");
  test::WriteFileBytes(store_.Recycle() + "/notes.003", "a file is no slot");
  ASSERT_EQ(Delete(Drawing(5)), "");
  const std::string r = store_.Recycle() + "/";
  const char* moved[] = {"one].002", "two].003", "four].004"};
  for (int n = 2; n <= 4; ++n)
    EXPECT_EQ(FindRecycleSlot(store_.env(), store_.Recycle(), n),
              r + "[a][b][HNY][" + moved[n - 2]);
  EXPECT_TRUE(Exists(r + "notes.003"));
  EXPECT_EQ(FreeRecycleSlot(store_.env(), store_.Recycle()), 5);

  // Ten taken slots: the oldest goes, and so does the folder it was moved to for removal.
  for (int n = 5; n <= kRecycleSlots; ++n) Occupy(n, "[a][b][HNY][" + std::to_string(n) + "]");
  ASSERT_EQ(Delete(Drawing(3)), "");
  EXPECT_EQ(FreeRecycleSlot(store_.env(), store_.Recycle()), 0);
  EXPECT_EQ(FindRecycleSlot(store_.env(), store_.Recycle(), 10), r + "[a][b][HNY][9].010");
  EXPECT_FALSE(Exists(r + "[a][b][HNY][10].010"));
  EXPECT_FALSE(Exists(r + "REMOVING.TMP"));
}

TEST_F(RecycleTest, EachFailingStepNamesItselfAndKeepsTheDrawing) {
  const FolMember member = Drawing(1);
  const std::string appFolder = store_.AppFolder(0x1);
  struct Case {
    Op op;
    std::string pathPart;
    std::string message;
  };
  const Case cases[] = {
      {Op::MakeDirAt, "RECYCCAD", "ごみ箱フォルダを作成できません。\n"},
      {Op::Open, "LOCK.TMP", "ごみ箱フォルダをロックできません。\n"},
      {Op::RenameAt, "[a][b][HNY][two]", "ごみ箱フォルダを整理できません。\n"},
      {Op::MakeDirAt, "][", "ごみ箱フォルダにフォルダを作成できません。\n"},
      {Op::RenameAt, member.path, "図面をごみ箱フォルダへ移動できません。\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    if (c.op != Op::MakeDirAt || c.pathPart != "RECYCCAD") Occupy(2, "[a][b][HNY][two]");
    platform::FaultEnv faults;
    faults.Fail(c.op, EACCES, c.pathPart);
    platform::ScopedEnv scoped(faults);
    std::string error;
    EXPECT_FALSE(MoveToRecycle(store_.env(), member, error));
    EXPECT_EQ(error, c.message + platform::SystemErrorText(EACCES));
    EXPECT_TRUE(Exists(member.path + "/INDEX.VXF"));
    EXPECT_FALSE(Exists(store_.Recycle() + "/LOCK.TMP"));
    if (Exists(store_.Recycle())) {
      for (const std::string& name : Entries(store_.Recycle()))
        EXPECT_NE(name.find("[a][b][HNY][two]"), std::string::npos) << name;  // no empty container
    }
  }
  EXPECT_EQ(DeleteFailed("図面 [1] \"x\"", "E"), "図面 [1] \"x\" の削除に失敗しました。\n\nE");
  EXPECT_EQ(DeleteFailed("図面 [1] \"x\"", ""), "図面 [1] \"x\" の削除に失敗しました。");
}

TEST_F(RecycleTest, DrawingInUseElsewhereIsNotMovedAndRefusalsComeFirst) {
  FolMember member = Drawing(1);
  HoldingChild holder(
      [&] { return (new VexaFolderLock(&store_.env()))->LockZmn(member.path.c_str()) != 0; });
  ASSERT_TRUE(holder.holding());
  std::string error;
  EXPECT_FALSE(MoveToRecycle(store_.env(), member, error));
  EXPECT_EQ(error, "図面をごみ箱フォルダへ移動できません。\n" + platform::SystemErrorText(EBUSY));
  EXPECT_TRUE(Exists(member.path + "/INDEX.VXF"));
  EXPECT_EQ(Entries(store_.Recycle()), std::vector<std::string>{});

  EXPECT_EQ(DeleteRefusal(member, 0), "");
  EXPECT_EQ(DeleteRefusal(member, 0x80), "ページファイルでしか実行できません。");
  member.lockState = 2;
  EXPECT_EQ(DeleteRefusal(member, 0), "この図面はロックされています。");
}

TEST_F(RecycleTest, TidyStopsWhenTheOldestSlotCannotBeRemovedAndTheNextTidyFinishesIt) {
  const std::string r = store_.Recycle() + "/";
  for (int n = 1; n <= kRecycleSlots; ++n) Occupy(n, "[a][b][HNY][" + std::to_string(n) + "]");
  {
    // The rename of slot 10 out of the way fails: nothing moves.
    platform::FaultEnv faults;
    faults.Fail(Op::RenameAt, EACCES, "[10].010");
    platform::ScopedEnv scoped(faults);
    EXPECT_FALSE(TidyRecycle(store_.env(), store_.Recycle()));
  }
  for (int n = 1; n <= kRecycleSlots; ++n)
    EXPECT_TRUE(Exists(r + "[a][b][HNY][" + std::to_string(n) + "]." + (n < 10 ? "00" : "0") +
                       std::to_string(n)))
        << n;
  {
    // Its removal fails half way: the slots keep their numbers, and what was
    // renamed for removal stays until the next tidy.
    platform::FaultEnv faults;
    faults.Fail(Op::UnlinkAt, EIO, "REMOVING.TMP");
    platform::ScopedEnv scoped(faults);
    EXPECT_FALSE(TidyRecycle(store_.env(), store_.Recycle()));
  }
  EXPECT_TRUE(Exists(r + "REMOVING.TMP"));
  EXPECT_EQ(FindRecycleSlot(store_.env(), store_.Recycle(), 10), "");
  EXPECT_EQ(FindRecycleSlot(store_.env(), store_.Recycle(), 1), r + "[a][b][HNY][1].001");

  EXPECT_TRUE(TidyRecycle(store_.env(), store_.Recycle()));
  EXPECT_FALSE(Exists(r + "REMOVING.TMP"));
  EXPECT_EQ(FreeRecycleSlot(store_.env(), store_.Recycle()), 1);
  EXPECT_EQ(FindRecycleSlot(store_.env(), store_.Recycle(), 10), r + "[a][b][HNY][9].010");
}

TEST_F(RecycleTest, OutOfMemoryFailsTheDeletionAndKeepsTheDrawing) {
  const FolMember member = Drawing(1);
  {
    platform::FaultEnv faults;
    faults.Before(Op::RenameAt, member.path, 0, [] { throw std::bad_alloc(); });
    platform::ScopedEnv scoped(faults);
    std::string error;
    EXPECT_FALSE(MoveToRecycle(store_.env(), member, error));
    EXPECT_EQ(error,
              "図面をごみ箱フォルダへ移動できません。\n" + platform::SystemErrorText(ENOMEM));
  }
  EXPECT_TRUE(Exists(member.path + "/INDEX.VXF"));
  EXPECT_FALSE(Exists(store_.Recycle() + "/LOCK.TMP"));
  // The empty container it may leave goes with the next deletion's tidy.
  ASSERT_EQ(Delete(member), "");
  EXPECT_FALSE(Exists(member.path));
  EXPECT_EQ(FreeRecycleSlot(store_.env(), store_.Recycle()), 2);
}

}  // namespace
}  // namespace vexa::test
