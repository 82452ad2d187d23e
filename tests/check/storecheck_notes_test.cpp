// The store check and owner notes: a live note is no finding, a note whose
// holder is gone and anything planted in the note folder are, and the fix
// removes them without following a link.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "lock/owner_note.h"
#include "tests/lock/lock_store.h"
#include "tests/support/child_process.h"
#include "tests/support/hostile_files.h"
#include "vexafol/folderlock.h"
#include "vexafol/storecheck.h"

namespace vexa {
namespace {

std::vector<std::string> NoteFindings(const StoreCheckReport& report) {
  std::vector<std::string> paths;
  for (const StoreFinding& finding : report.findings)
    if (finding.path.find(lock::kNoteFolder) != std::string::npos) paths.push_back(finding.path);
  return paths;
}

TEST(StoreCheckNotes, LiveNotesStayLeftoversAndPlantsAreRemovedByTheFix) {
  test::LockStore store;
  const std::string root = store.env().GetDataPath();
  const std::string notes = store.AppFolder() + "/" + lock::kNoteFolder;
  VexaFolderLock live(&store.env());
  ASSERT_EQ(live.LockZmn(store.Drawing(1).c_str()), 1);
  {
    test::HoldingChild crashed(
        [&] { return (new VexaFolderLock(&store.env()))->LockZmn(store.Drawing(2).c_str()) == 1; });
    ASSERT_TRUE(crashed.holding());
    crashed.Kill();
  }
  const std::string stale = notes + "/" + lock::DrawingNoteName(2);
  ASSERT_TRUE(test::LockStore::Exists(stale));
  test::Victims victims(store.AppFolder() + "/victim.txt");
  victims.Plant(test::Hostile::LinkOutside, notes + "/" + lock::DrawingNoteName(3));
  victims.Plant(test::Hostile::Fifo, notes + "/" + lock::PageNoteName(4, 0));
  std::ofstream(notes + "/stranger.txt") << "not a note\n";

  const StoreCheckReport report = CheckStore(root);
  std::vector<std::string> found = NoteFindings(report);
  std::sort(found.begin(), found.end());
  const std::vector<std::string> expected = {
      notes + "/" + lock::DrawingNoteName(2), notes + "/" + lock::DrawingNoteName(3),
      notes + "/" + lock::PageNoteName(4, 0), notes + "/stranger.txt"};
  EXPECT_EQ(found, expected);

  StoreCheckOptions fix;
  fix.fix = true;
  const StoreCheckReport fixed = CheckStore(root, fix);
  for (const StoreFinding& finding : fixed.findings) {
    if (finding.path.find(lock::kNoteFolder) != std::string::npos) {
      EXPECT_TRUE(finding.fixed) << finding.path;
    }
  }
  EXPECT_TRUE(NoteFindings(CheckStore(root)).empty());
  EXPECT_TRUE(victims.Untouched());
  EXPECT_TRUE(test::LockStore::Exists(notes + "/" + lock::DrawingNoteName(1)))
      << "the live note stays";
}

}  // namespace
}  // namespace vexa
