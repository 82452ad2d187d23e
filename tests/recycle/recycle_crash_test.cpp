// Deletions killed with SIGKILL before each of their file-system steps, in
// real child processes: no drawing is ever lost or left half in a slot, and
// the next deletion tidies the slots to 1..k and succeeds. Two processes
// deleting at once: the second is refused with the lock message.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "platform/env.h"
#include "tests/support/child_process.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/recycle.h"

namespace vexa::test {
namespace {

// Counts the calls that change or lock something and, at the chosen one,
// kills the process before it happens; or stops at the first rename until the
// parent lets it go.
class SteppingEnv : public platform::Env {
 public:
  int killAt = 0;              // 0: never
  bool pauseAtRename = false;  // at the first rename
  Signal* paused = nullptr;
  Signal* resume = nullptr;
  int steps = 0;

  int Open(const std::string& path, int flags, mode_t mode) override {
    if (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR)) Step();
    return Env::Open(path, flags, mode);
  }
  int Truncate(int fd, off_t length) override { return Step(), Env::Truncate(fd, length); }
  int Lock(int fd, int command, struct flock& lock) override {
    return Step(), Env::Lock(fd, command, lock);
  }
  int Unlink(const std::string& path) override { return Step(), Env::Unlink(path); }
  int Rename(const std::string& from, const std::string& to) override {
    return Step(), Env::Rename(from, to);
  }
  int RenameNoReplace(const std::string& from, const std::string& to) override {
    StepOrPause();
    return Env::RenameNoReplace(from, to);
  }
  int MakeDir(const std::string& path, mode_t mode) override {
    return Step(), Env::MakeDir(path, mode);
  }
  int RemoveDir(const std::string& path) override { return Step(), Env::RemoveDir(path); }
  int OpenBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) override {
    if (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR)) Step();
    return Env::OpenBeneath(dirFd, relative, flags, mode);
  }
  int MakeDirAt(int dirFd, const std::string& name, mode_t mode) override {
    return Step(), Env::MakeDirAt(dirFd, name, mode);
  }
  int UnlinkAt(int dirFd, const std::string& name, int flags) override {
    return Step(), Env::UnlinkAt(dirFd, name, flags);
  }
  int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to) override {
    StepOrPause();
    return Env::RenameAt(fromDir, from, toDir, to);
  }

 private:
  void Step() {
    if (++steps == killAt) raise(SIGKILL);
  }
  void StepOrPause() {
    Step();
    if (pauseAtRename) {
      pauseAtRename = false;
      paused->Give();
      resume->Take();
    }
  }
};

constexpr int kDrawings = 4;

void WriteDrawing(const std::string& folder, int n, const std::string& title) {
  char name[16];
  std::snprintf(name, sizeof name, "/Fol.%03d", n);
  DrawingSpec spec;
  spec.title = title;
  StoreFixture::WriteDrawing(folder + name, spec);
  WriteFileBytes(folder + name + "/pagefile.000", title + " page");
}

// Drawings D1 to D4 in the application folder, and `recycled` earlier
// deletions R1.. in slots 1.. (slot 2 left free when gap is set).
void Prepare(const StoreFixture& store, int recycled, bool gap) {
  for (int n = 1; n <= kDrawings; ++n)
    WriteDrawing(store.AppFolder(0x1), n, "D" + std::to_string(n));
  for (int r = 1; r <= recycled; ++r) {
    char name[64];
    std::snprintf(name, sizeof name, "[W][S][HNY][R%d].%03d", r, gap && r >= 2 ? r + 1 : r);
    WriteDrawing(store.Recycle() + "/" + name, 100 + r, "R" + std::to_string(r));
  }
}

FolMember Member(const StoreFixture& store, int n) {
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const FolMember* member = list.GetFolderMember(i);
    if (member->GetFolderNo(store.env()) == n - 1) return *member;
  }
  return {};
}

// Counts the complete drawing folders of the application folder and of the
// slots (a folder outside the slots, one being removed, does not count): each
// drawing held exactly once, except the evictable ones (gone or once).
void ExpectNothingLost(const StoreFixture& store, int recycled,
                       const std::set<std::string>& evictable, const std::string& when) {
  std::map<std::string, int> copies;
  auto look = [&](const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    platform::Env().ListDir(folder, entries);
    for (const auto& entry : entries) {
      if (entry.name.rfind("Fol.", 0) != 0) continue;
      const std::string path = folder + "/" + entry.name;
      const std::string header = ReadFileBytes(path + "/INDEX.VXF");
      VexaFileHeader h;
      if (header.size() != sizeof h) {
        ADD_FAILURE() << path << " has no complete index, " << when;
        continue;
      }
      std::memcpy(&h, header.data(), sizeof h);
      copies[h.Title()]++;
      EXPECT_EQ(ReadFileBytes(path + "/pagefile.000"), h.Title() + " page") << path << " " << when;
    }
  };
  look(store.AppFolder(0x1));
  for (int n = 1; n <= kRecycleSlots; ++n) {
    const std::string slot = FindRecycleSlot(store.env(), store.Recycle(), n);
    if (!slot.empty()) look(slot);
  }
  for (int i = 1; i <= kDrawings + recycled; ++i) {
    const std::string title =
        i <= kDrawings ? "D" + std::to_string(i) : "R" + std::to_string(i - kDrawings);
    if (evictable.count(title))
      EXPECT_LE(copies[title], 1) << title << " " << when;
    else
      EXPECT_EQ(copies[title], 1) << title << " " << when;
  }
}

// Slots 1..k taken and none above: k, or -1.
int SlotsWithoutGaps(const StoreFixture& store) {
  int k = 0;
  while (k < kRecycleSlots && !FindRecycleSlot(store.env(), store.Recycle(), k + 1).empty()) ++k;
  for (int n = k + 1; n <= kRecycleSlots; ++n)
    if (!FindRecycleSlot(store.env(), store.Recycle(), n).empty()) return -1;
  return k;
}

TEST(RecycleCrash, KilledBeforeAnyStepNoDrawingIsLostAndTheNextDeletionSucceeds) {
  struct Scenario {
    int recycled;
    bool gap;
    std::set<std::string> evictable;  // by this deletion and the next
  };
  const Scenario scenarios[] = {{0, false, {}}, {3, true, {}}, {10, false, {"R9", "R10"}}};
  int kills = 0;
  for (const Scenario& scenario : scenarios) {
    // Kills at step 1, 2, ... until the deletion gets through all its steps.
    for (int step = 1;; ++step) {
      const std::string when =
          std::to_string(scenario.recycled) + " recycled, killed at step " + std::to_string(step);
      StoreFixture store;
      Prepare(store, scenario.recycled, scenario.gap);
      const FolMember member = Member(store, 1);
      ChildProcess child([&] {
        SteppingEnv killing;
        killing.killAt = step;
        platform::ScopedEnv scoped(killing);
        std::string error;
        return MoveToRecycle(store.env(), member, error) ? 0 : 1;
      });
      const int status = child.Wait();
      if (status == 0) break;
      ASSERT_EQ(status, 128 + SIGKILL) << when;
      ++kills;
      ExpectNothingLost(store, scenario.recycled, scenario.evictable, when);

      std::string error;
      ASSERT_TRUE(MoveToRecycle(store.env(), Member(store, 2), error)) << when << ": " << error;
      EXPECT_GE(SlotsWithoutGaps(store), 1) << when;
      EXPECT_EQ(
          ReadFileBytes(FindRecycleSlot(store.env(), store.Recycle(), 1) + "/Fol.002/pagefile.000"),
          "D2 page")
          << when;
      ExpectNothingLost(store, scenario.recycled, scenario.evictable,
                        when + ", then deleted again");
    }
  }
  EXPECT_GE(kills, 30);
}

TEST(RecycleCrash, SecondDeletionAtTheSameTimeIsRefusedWithTheLockMessage) {
  StoreFixture store;
  Prepare(store, 2, false);
  const FolMember first = Member(store, 1);
  const FolMember second = Member(store, 2);
  Signal paused, resume;
  ChildProcess child([&] {
    // Stops at its first rename, in the middle of reorganising the slots.
    SteppingEnv stepping;
    stepping.pauseAtRename = true;
    stepping.paused = &paused;
    stepping.resume = &resume;
    platform::ScopedEnv scoped(stepping);
    std::string error;
    return MoveToRecycle(store.env(), first, error) ? 0 : 1;
  });
  ASSERT_TRUE(paused.Take());
  std::string error;
  EXPECT_FALSE(MoveToRecycle(store.env(), second, error));
  EXPECT_EQ(error.rfind("ごみ箱フォルダをロックできません。\n(", 0), 0u) << error;
  resume.Give();
  EXPECT_EQ(child.Wait(), 0);
  ExpectNothingLost(store, 2, {}, "after both");
  EXPECT_EQ(SlotsWithoutGaps(store), 3);
  ASSERT_TRUE(MoveToRecycle(store.env(), second, error)) << error;
  EXPECT_EQ(SlotsWithoutGaps(store), 4);
}

}  // namespace
}  // namespace vexa::test
