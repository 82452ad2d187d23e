// The folder list's lock states come from range queries and the folder's
// listing; they must equal what the literal tests give drawing by drawing
// (IsLockZmn, then IsExistLockPage) on a fresh service.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lock/lock_file.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "tests/support/temp_dir.h"
#include "vexafol/file.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::HoldingChild;
using test::StoreFixture;

constexpr int kApps[] = {0x1, 0x4};

std::string NumberedName(const char* prefix, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%03d", prefix, n);
  return name;
}

// A random store: drawings of two applications (same creation time, so the
// list keeps the scan order), a folder without a number and a case twin.
std::vector<std::string> MakeDrawings(const StoreFixture& store, std::mt19937& random) {
  std::vector<std::string> paths;
  std::uniform_int_distribution<int> number(1, 999);
  for (int app : kApps) {
    const std::string folder = store.AppFolder(app);
    std::set<int> numbers;
    while (numbers.size() < 60) numbers.insert(number(random));
    for (int n : numbers)
      paths.push_back(StoreFixture::WriteDrawing(folder + "/" + NumberedName("Fol.", n)));
    paths.push_back(StoreFixture::WriteDrawing(folder + "/FOL." +
                                               paths.back().substr(paths.back().size() - 3)));
    paths.push_back(StoreFixture::WriteDrawing(folder + "/Fol.x12"));
  }
  return paths;
}

// Drawing locks and page locks (pages 0 to 600) on random drawings.
bool TakeRandomLocks(VexaFolderLock& lock, const std::vector<std::string>& paths, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<size_t> pick(0, paths.size() - 1);
  std::uniform_int_distribution<int> page(0, 600);
  for (int i = 0; i < 12; ++i) {
    lock.LockZmn(paths[pick(random)].c_str());
    lock.LockPage(paths[pick(random)].c_str(), page(random));
  }
  return true;
}

std::vector<int> LiteralStates(const CEnvironObj& env, const VexaFolderList& list) {
  VexaFolderLock fresh(&env);
  std::vector<int> states;
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const char* path = list.GetFolderMember(i)->path.c_str();
    states.push_back(fresh.IsLockZmn(path) ? 1 : fresh.IsExistLockPage(path) ? 2 : 0);
  }
  return states;
}

TEST(LockSurvey, LoadGivesTheStatesOfTheLiteralTestsOnRandomStores) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    StoreFixture store;
    std::mt19937 random(seed);
    const std::vector<std::string> paths = MakeDrawings(store, random);
    std::uniform_int_distribution<size_t> pick(0, paths.size() - 1);
    // Each beside another drawing of the first application (its first 60 paths).
    std::set<int> strayNumbers;
    auto strayLock = [&] {
      int n;
      do {
        const std::string& drawing = paths[random() % 60];
        n = std::stoi(drawing.substr(drawing.size() - 3));
      } while (!strayNumbers.insert(n).second);
      return store.AppFolder(kApps[0]) + "/" + NumberedName("FOL", n) + ".LOC";
    };
    // Page lock files nobody holds, one that is a folder, one dangling link,
    // one with a second name, a FIFO, and one that a client without the in-use
    // mark shares (a read lock over all its pages, as a file server maps a
    // Windows client's shared lock).
    std::ofstream{strayLock()};
    std::filesystem::create_directories(strayLock());
    std::filesystem::create_symlink("nowhere", strayLock());
    const std::string twoNames = strayLock();
    std::ofstream{twoNames};
    std::filesystem::create_hard_link(twoNames, store.AppFolder(kApps[0]) + "/second.name");
    mkfifo(strayLock().c_str(), 0666);
    const std::string shared = strayLock();
    std::ofstream{shared};
    HoldingChild sharer([&] {
      const int fd = open(shared.c_str(), O_RDONLY | O_CLOEXEC);
      struct flock all {};
      all.l_type = F_RDLCK;
      all.l_whence = SEEK_SET;
      all.l_len = 501;
      return fd >= 0 && fcntl(fd, F_SETLK, &all) == 0;
    });

    VexaFolderLock sameProcess(&store.env());
    TakeRandomLocks(sameProcess, paths, seed * 100);
    HoldingChild first([&] { return TakeRandomLocks(sameProcess, paths, seed * 100 + 1); });
    HoldingChild second([&] {
      VexaFolderLock own(&store.env());
      return TakeRandomLocks(own, paths, seed * 100 + 2);
    });
    ASSERT_TRUE(first.holding() && second.holding() && sharer.holding());

    platform::FaultEnv faults;
    platform::ScopedEnv scoped(faults);
    // A page lock file that exists but cannot be opened; in odd rounds a
    // drawing lock file that cannot be opened either.
    const std::string held = paths[pick(random)];
    VexaFolderLock pageHolder(&store.env());
    pageHolder.LockPage(held.c_str(), 7);
    faults.Fail(platform::Op::Open, EACCES,
                "/" + NumberedName("FOL", std::stoi(held.substr(held.size() - 3))) + ".LOC");
    if (seed % 2)
      faults.Fail(platform::Op::Open, EACCES, store.AppFolder(kApps[1]) + "/CADAPP.LOC");

    VexaFolderList list(store.env());
    const int locksBefore = faults.Calls(platform::Op::Lock);
    list.Load(-1, 0);
    // Lock requests follow the locks held and the page lock files (two each:
    // the in-use mark of the open and the read's query), not the drawings
    // (two probes each).
    EXPECT_LT(faults.Calls(platform::Op::Lock) - locksBefore, static_cast<int>(paths.size()));
    ASSERT_EQ(list.GetFolderNum(), static_cast<int>(paths.size()));
    std::vector<int> loaded;
    for (int i = 0; i < list.GetFolderNum(); ++i)
      loaded.push_back(list.GetFolderMember(i)->lockState);
    EXPECT_EQ(loaded, LiteralStates(store.env(), list));
    EXPECT_GT(std::count(loaded.begin(), loaded.end(), 1), 12);
  }
}

// The system reports the first conflicting lock in its own order (by owner
// first), so runs below the reported one must be asked again.
TEST(LockSurvey, RangeQueryFindsTheLocksOfEveryOwnerInAnyOrder) {
  test::TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  File first, second, third, asking;
  for (File* file : {&first, &second, &third, &asking})
    ASSERT_TRUE(file->Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(first.LockRange(500, 1) && first.LockRange(998, 5));
  ASSERT_TRUE(second.LockRange(10, 1) && second.LockRange(700, 1));
  ASSERT_TRUE(third.LockRange(20, 1) && third.LockRange(21, 1) && third.LockRange(0, 1));
  ASSERT_TRUE(asking.LockRange(30, 1));  // its own: not foreign
  DrawingNumberBits locked;
  ASSERT_TRUE(lock::ForeignLockedBytes(asking, locked));
  std::vector<int> bytes;
  for (int n = 0; n < 1000; ++n)
    if (locked[n]) bytes.push_back(n);
  EXPECT_EQ(bytes, (std::vector<int>{10, 20, 21, 500, 700, 998, 999}));

  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Lock, ENOLCK);
  EXPECT_FALSE(lock::ForeignLockedBytes(asking, locked));
}

}  // namespace
}  // namespace vexa
