// Two real Unix users sharing one store folder (mode 2770, one group): each
// locks, probes and unlocks drawings and pages in lock files the other made,
// the last user removes lock files whoever made them, each deletes and
// restores drawings the other made through one recycle folder, and `vexafol
// check` finds what was made with the wrong permissions; --fix by the owner
// repairs it.
// Needs root to make the users (CI runs as root); skipped otherwise.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/check/store_damage.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/recycle.h"

namespace vexa::test {
namespace {

struct User {
  uid_t uid;
  gid_t gid;
  // In a child process: become this user, member of the shared group only,
  // with the usual umask that would keep the group out.
  bool Become() const {
    if (setgroups(1, &gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0) return false;
    umask(022);
    return true;
  }
};

// The first id from `from` on that no account (or group) uses on this machine.
template <typename Lookup>
unsigned Unused(unsigned from, Lookup lookup) {
  while (lookup(from)) ++from;
  return from;
}

class TwoUsers : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "two-user tests need root to switch to unused uids";
    const gid_t group = Unused(47000, getgrgid);
    a_ = {Unused(47000, getpwuid), group};
    b_ = {Unused(a_.uid + 1, getpwuid), group};
    ::chmod(dir_.path().c_str(), 0711);  // the users may pass through, not look
    ::mkdir(store_.c_str(), 0700);
    ::chown(store_.c_str(), 0, group);
    ::chmod(store_.c_str(), 02770);
    if (RunTool({"--help"}, As(a_)).exit != 0)
      GTEST_SKIP() << "an unused uid cannot run " << VEXAFOL_TOOL
                   << ": the build folder must be readable by other users";
  }

  static ToolSetup As(const User& user) {
    return {.becomeUser = [&user] { return user.Become(); }};
  }

  // Makes a drawing with three pages as user; returns its folder.
  std::string NewDrawing(const User& user, const std::string& title = "drawing") {
    const ToolRun made =
        RunTool({"new", "--store", store_, "--pages", "3", "--title", title}, As(user));
    EXPECT_EQ(made.exit, 0) << made.out;
    return made.out.substr(0, made.out.find('\n'));
  }

  ToolRun Check(const User& user, const std::vector<std::string>& more = {}) {
    std::vector<std::string> words = {"check", store_};
    words.insert(words.end(), more.begin(), more.end());
    return RunTool(words, As(user));
  }

  TempDir dir_;
  std::string store_ = dir_ / "store";
  User a_{}, b_{};
};

// Mode bits of path, 0 when it is missing.
mode_t ModeOf(const std::string& path, struct stat* st = nullptr) {
  struct stat own {};
  if (!st) st = &own;
  return ::stat(path.c_str(), st) == 0 ? st->st_mode & 07777 : 0;
}

// Bit n set when check n of the other user's view failed.
int ProbeWhileOtherHolds(const std::string& store, const std::vector<std::string>& drawing) {
  const FolderEnvironObj env(store);
  VexaFolderLock lock(&env);
  const char* held = drawing[0].c_str();   // the other holds the drawing lock
  const char* paged = drawing[1].c_str();  // the other holds page 1
  const char* free = drawing[2].c_str();   // nobody holds anything
  const bool checks[] = {
      lock.IsLockZmn(held) == 1,        lock.LockZmn(held) == 0,
      lock.IsExistLockPage(paged) == 1, lock.LockZmn(paged) == 0,
      lock.IsLockPage(paged, 1) == 1,   lock.LockPage(paged, 1) == 0,
      lock.LockPage(paged, 0) == 1,  // in the page lock file the other made
      lock.IsLockZmn(free) == 0,        lock.LockZmn(free) == 1,  // in its drawing lock file
  };
  int failed = 0;
  for (size_t i = 0; i < std::size(checks); ++i) failed |= checks[i] ? 0 : 1 << i;
  lock.UnLockAll();  // the other still has the files open: they stay
  const bool stayed = ModeOf(env.GetDirNameFromRelativePath(drawing[0]) + "/CADAPP.LOC") != 0;
  return stayed ? failed : failed | 1 << std::size(checks);
}

TEST_F(TwoUsers, EachLocksAndProbesInLockFilesTheOtherMadeAndTheLastRemovesThem) {
  const std::vector<std::string> drawings = {NewDrawing(a_), NewDrawing(a_), NewDrawing(b_)};
  for (const auto& [holder, prober] : {std::pair{a_, b_}, std::pair{b_, a_}}) {
    std::unique_ptr<VexaFolderLock> holding;
    FolderEnvironObj env(store_);
    HoldingChild hold(
        [&] {
          holding = std::make_unique<VexaFolderLock>(&env);
          return holder.Become() && holding->LockZmn(drawings[0].c_str()) == 1 &&
                 holding->LockPage(drawings[1].c_str(), 1) == 1;
        },
        [&] {
          holding.reset();  // closes and removes the lock files it is the last user of
          return 0;
        });
    ASSERT_TRUE(hold.holding());
    const std::string lockFiles[] = {GeneralAppFolder(store_) + "/CADAPP.LOC",
                                     GeneralAppFolder(store_) + "/FOL002.LOC"};
    for (const std::string& file : lockFiles) {
      struct stat st {};
      EXPECT_EQ(ModeOf(file, &st), 0660u) << file;
      EXPECT_EQ(st.st_gid, a_.gid) << file;
    }

    ChildProcess probe(
        [&] { return prober.Become() ? ProbeWhileOtherHolds(store_, drawings) : 126; });
    EXPECT_EQ(probe.Wait(), 0) << "failed checks (bits) with holder uid " << holder.uid;
    EXPECT_EQ(hold.Release(), 0);
    for (const std::string& file : lockFiles) EXPECT_EQ(ModeOf(file), 0u) << file << " left behind";
  }
  EXPECT_EQ(Check(b_).exit, 0);  // every file made is usable by the group
}

uid_t OwnerOf(const std::string& path) {
  struct stat st {};
  return ModeOf(path, &st) ? st.st_uid : static_cast<uid_t>(-1);
}

TEST_F(TwoUsers, EachDeletesAndRestoresDrawingsTheOtherMadeAndNoneIsLost) {
  const std::string ofA = NewDrawing(a_, "made by a"), ofB = NewDrawing(b_, "made by b");
  // a deletes first: the recycle folder is a's, and b's container goes into it.
  for (const auto& [user, drawing] : {std::pair{a_, ofB}, std::pair{b_, ofA}}) {
    const ToolRun deleted = RunTool({"delete", "--store", store_, drawing, "--yes"}, As(user));
    EXPECT_EQ(deleted.exit, 0) << deleted.out;
    EXPECT_EQ(ModeOf(drawing), 0u) << "still in place";
  }
  const FolderEnvironObj env(store_);
  const std::vector<RecycleSlot> slots = ListRecycleSlots(env);
  ASSERT_EQ(slots.size(), 2u);
  EXPECT_EQ(slots[0].title, "made by a");
  EXPECT_EQ(slots[1].title, "made by b");
  EXPECT_EQ(OwnerOf(slots[1].container.substr(0, slots[1].container.rfind('/'))), a_.uid);
  EXPECT_EQ(OwnerOf(slots[1].container), a_.uid);
  EXPECT_EQ(OwnerOf(slots[0].container), b_.uid) << "b's container in a's recycle folder";

  // Each brings back the drawing the other deleted, out of the other's container.
  for (const auto& [user, title] : {std::pair{a_, "made by a"}, std::pair{b_, "made by b"}}) {
    int slot = 0;
    for (const RecycleSlot& taken : ListRecycleSlots(env))
      if (taken.title == title) slot = taken.slot;
    ASSERT_NE(slot, 0) << title << " is not in the recycle folder";
    const ToolRun back = RunTool({"restore", store_, "--slot", std::to_string(slot)}, As(user));
    EXPECT_EQ(back.exit, 0) << back.out;
  }
  EXPECT_TRUE(ListRecycleSlots(env).empty()) << "a container stayed";
  // Nothing lost or doubled: each drawing is once in the application folder.
  const ToolRun listed = RunTool({"list", "--store", store_, "--json"}, As(b_));
  EXPECT_EQ(listed.exit, 0);
  for (const char* title : {"made by a", "made by b"}) {
    const size_t first = listed.out.find(title);
    EXPECT_NE(first, std::string::npos) << title << " lost: " << listed.out;
    EXPECT_EQ(listed.out.find(title, first + 1), std::string::npos) << title << " twice";
  }
  EXPECT_EQ(Check(a_).exit, 0);
}

TEST_F(TwoUsers, CheckFindsWhatOthersCannotUseAndTheOwnersFixRepairsIt) {
  const std::string drawing = NewDrawing(a_);
  // As an older version made it under umask 022.
  ::chmod(drawing.c_str(), 0755);
  ::chmod((drawing + "/INDEX.VXF").c_str(), 0644);

  const ToolRun seen = Check(b_, {"--json"});
  EXPECT_EQ(seen.exit, 1);
  EXPECT_NE(seen.out.find("\"path\": \"" + drawing + "\""), std::string::npos) << seen.out;
  EXPECT_NE(seen.out.find("\"path\": \"" + drawing + "/INDEX.VXF\""), std::string::npos);

  const ToolRun notOwner = Check(b_, {"--fix"});
  EXPECT_EQ(notOwner.exit, 1) << notOwner.out;  // only the owner or root may change modes
  EXPECT_EQ(ModeOf(drawing), 0755u);

  const ToolRun owner = Check(a_, {"--fix"});
  EXPECT_EQ(owner.exit, 0) << owner.out;
  EXPECT_EQ(ModeOf(drawing), 02775u);
  EXPECT_EQ(ModeOf(drawing + "/INDEX.VXF"), 0664u);
  EXPECT_EQ(Check(b_).exit, 0);
}

// A private folder of b outside the store, and the folder a member links
// into the store in its place; chowned to b.
std::string PrivateFolder(const std::string& path, const User& owner) {
  WriteFileBytes(path + "/.ssh/id_rsa", "key");
  for (int n = 1; n <= kRecycleSlots; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/[a][b][HNY][x].%03d", n);
    WriteFileBytes(path + name + "/Fol.001/INDEX.VXF", "private");
  }
  EXPECT_EQ(std::system(("chmod -R go-rwx " + path + " && chown -R " + std::to_string(owner.uid) +
                         " " + path)
                            .c_str()),
            0);
  return path;
}

bool PrivateFolderUntouched(const std::string& path, const User& owner) {
  struct stat st {};
  int slots = 0;
  for (int n = 1; n <= kRecycleSlots; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/[a][b][HNY][x].%03d", n);
    slots += ModeOf(path + name) == 0700;
  }
  return slots == kRecycleSlots && ModeOf(path, &st) == 0700 && st.st_uid == owner.uid &&
         ModeOf(path + "/.ssh") == 0700 && ModeOf(path + "/.ssh/id_rsa") == 0600 &&
         ReadFileBytes(path + "/.ssh/id_rsa") == "key" &&
         ReadFileBytes(path + "/[a][b][HNY][x].010/Fol.001/INDEX.VXF") == "private";
}

// Plants a link at `at` to target as user.
void PlantLink(const User& user, const std::string& target, const std::string& at) {
  ChildProcess planter(
      [&] { return user.Become() && ::symlink(target.c_str(), at.c_str()) == 0 ? 0 : 1; });
  ASSERT_EQ(planter.Wait(), 0) << at;
}

TEST_F(TwoUsers, AFixChangesNothingThatAMembersLinkLeadsTo) {
  NewDrawing(a_);
  const std::string home = PrivateFolder(dir_ / "home-b", b_);
  PlantLink(a_, home, store_ + "/DATA/x");
  for (const bool asRoot : {false, true}) {
    SCOPED_TRACE(asRoot ? "root" : "b");
    const ToolRun fix = asRoot ? RunTool({"check", store_, "--fix"}) : Check(b_, {"--fix"});
    EXPECT_NE(fix.out.find("symbolic link"), std::string::npos) << fix.out;
    EXPECT_TRUE(PrivateFolderUntouched(home, b_));
  }
}

TEST_F(TwoUsers, ARecycleFolderLinkedByAMemberIsRefusedAndReported) {
  const std::string drawing = NewDrawing(b_);
  const std::string home = PrivateFolder(dir_ / "home-b", b_);
  PlantLink(a_, home, store_ + "/DATA/RECYCCAD");
  const ToolRun deleted = RunTool({"delete", "--store", store_, drawing, "--yes"}, As(b_));
  EXPECT_EQ(deleted.exit, 1);
  EXPECT_NE((deleted.out + deleted.err).find("ごみ箱フォルダを作成できません。"), std::string::npos)
      << deleted.out << deleted.err;
  EXPECT_NE(ModeOf(drawing + "/INDEX.VXF"), 0u);
  EXPECT_TRUE(PrivateFolderUntouched(home, b_));
  const ToolRun checked = Check(b_);
  EXPECT_EQ(checked.exit, 1);
  EXPECT_NE(checked.out.find("not a recycle folder"), std::string::npos) << checked.out;
}

}  // namespace
}  // namespace vexa::test
