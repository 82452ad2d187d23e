// Lock files that another member of the store turned into a link (to a file
// inside or outside the store, or to nothing), a folder or a FIFO: they are
// unusable lock files, answered as lock files that cannot be opened, and are
// never followed, written, resized or deleted.
#include <array>
#include <chrono>

#include <gtest/gtest.h>

#include "lock/recycle_lock.h"
#include "tests/lock/lock_store.h"
#include "tests/support/hostile_files.h"
#include "vexafol/folderlock.h"

namespace vexa {
namespace {

using test::Hostile;
using test::LockStore;
using test::Victims;

// LockZmn, LockPage, IsLockZmn, IsLockPage, IsExistLockPage, each from a
// service of its own that is gone (its lock files closed and removed if
// unused) before the next one asks.
std::array<int, 5> Fresh(const LockStore& store, const char* drawing) {
  std::array<int, 5> answers{};
  const std::array<int (*)(VexaFolderLock&, const char*), 5> asks = {
      [](VexaFolderLock& s, const char* d) { return s.LockZmn(d); },
      [](VexaFolderLock& s, const char* d) { return s.LockPage(d, 3); },
      [](VexaFolderLock& s, const char* d) { return s.IsLockZmn(d); },
      [](VexaFolderLock& s, const char* d) { return s.IsLockPage(d, 3); },
      [](VexaFolderLock& s, const char* d) { return s.IsExistLockPage(d); }};
  for (size_t i = 0; i < asks.size(); ++i) {
    VexaFolderLock service(&store.env());
    answers[i] = asks[i](service, drawing);
  }
  return answers;
}

// Plants every kind of hostile name where plantAndAsk says (it returns the
// name) and checks that neither the name nor a victim file was touched.
template <typename PlantAndAsk>
void ForEachHostile(PlantAndAsk plantAndAsk) {
  for (const Hostile kind : test::kHostiles) {
    SCOPED_TRACE(NameOf(kind));
    LockStore store;
    const Victims victims(store.Drawing(6) + "/INDEX.VXF");
    const std::string planted = plantAndAsk(kind, store, victims);
    EXPECT_TRUE(victims.Untouched());
    EXPECT_TRUE(Victims::StillPlanted(kind, planted));
  }
}

TEST(LockFileHostile, AnUnusableDrawingLockFileRefusesAndIsLeftAlone) {
  ForEachHostile([](Hostile kind, const LockStore& store, const Victims& victims) {
    victims.Plant(kind, store.DrawingLockFile());
    const auto start = std::chrono::steady_clock::now();
    // The page scan does not need the drawing lock file.
    EXPECT_EQ(Fresh(store, store.Drawing(12).c_str()), (std::array<int, 5>{0, 0, 1, 1, 0}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    return store.DrawingLockFile();
  });
}

TEST(LockFileHostile, AnUnusablePageLockFileRefusesAndIsLeftAlone) {
  ForEachHostile([](Hostile kind, const LockStore& store, const Victims& victims) {
    const std::string drawing = store.Drawing(12);
    victims.Plant(kind, store.PageLockFile(12));
    // A name that does not stand for an existing file (a dangling link) or
    // stands for a folder is no page lock file to the scan: no page is locked.
    const bool seenAsMissing = kind == Hostile::DanglingLink || kind == Hostile::Folder;
    using Answers = std::array<int, 5>;
    EXPECT_EQ(Fresh(store, drawing.c_str()),
              (seenAsMissing ? Answers{1, 0, 0, 1, 0} : Answers{0, 0, 1, 1, 1}));
    {
      VexaFolderLock service(&store.env());
      service.LockZmn(drawing.c_str());
      service.LockPage(drawing.c_str(), 1);
      service.UnLockZmn(drawing.c_str());
      service.UnLockAll();
    }
    EXPECT_FALSE(LockStore::Exists(store.DrawingLockFile()));  // its last user removed it
    return store.PageLockFile(12);
  });
}

TEST(LockFileHostile, AnUnusableRecycleLockFileIsNotHeldAndLeftAlone) {
  ForEachHostile([](Hostile kind, const LockStore& store, const Victims& victims) {
    const std::string recycle = store.AppFolder() + "/RECYCCAD";
    test::WriteFileBytes(recycle + "/Fol.001/INDEX.VXF", "");
    victims.Plant(kind, recycle + "/LOCK.TMP");
    RecycleFolderLock lock(store.env(), recycle);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(lock.Error(), test::RefusalOf(kind));
    return recycle + "/LOCK.TMP";
  });
}

}  // namespace
}  // namespace vexa
