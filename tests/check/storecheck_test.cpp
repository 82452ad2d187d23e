// The store check on a sample store: a sound store has nothing wrong; a store
// damaged by the damage helper shows every planted fault, and the fix repairs
// exactly the ones that cannot lose a drawing.
#include "vexafol/storecheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/check/store_damage.h"
#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

// The first finding of kind about path, or null.
const StoreFinding* FindingOf(const StoreCheckReport& report, const PlantedFault& fault) {
  for (const StoreFinding& finding : report.findings)
    if (finding.kind == fault.kind && finding.path == fault.path) return &finding;
  return nullptr;
}

using StoreCheck = SharedStoreTest;

TEST_F(StoreCheck, ASampleStoreHasNothingWrong) {
  struct stat st {};
  ASSERT_EQ(::stat((GeneralAppFolder(store_) + "/Fol.001").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02770u);  // made under the shared folder's policy
  const StoreCheckReport report = CheckStore(store_ + "/");
  EXPECT_TRUE(report.readable);
  EXPECT_EQ(report.store, store_);
  EXPECT_TRUE(report.facts.probed);
  EXPECT_TRUE(report.facts.locksWork);
  EXPECT_TRUE(report.facts.caseSensitive);
  for (const StoreFinding& finding : report.findings)
    ADD_FAILURE() << finding.kind << " " << finding.path << ": " << finding.problem;

  const StoreCheckReport missing = CheckStore(store_ + "/missing");
  EXPECT_FALSE(missing.readable);
  EXPECT_NE(missing.error.find("/missing"), std::string::npos) << missing.error;
}

TEST_F(StoreCheck, ListsEveryPlantedFaultAndFixesOnlyTheHarmlessOnes) {
  const std::vector<PlantedFault> planted = DamageStore(store_);

  const StoreCheckReport report = CheckStore(store_);
  EXPECT_EQ(report.Remaining(), report.findings.size());
  for (const PlantedFault& fault : planted) {
    const StoreFinding* finding = FindingOf(report, fault);
    ASSERT_NE(finding, nullptr) << fault.kind << " " << fault.path;
    EXPECT_FALSE(finding->meaning.empty() || finding->action.empty()) << fault.path;
  }
  EXPECT_EQ(CheckStore(store_).findings.size(), report.findings.size());  // nothing changed

  const StoreCheckReport fix = CheckStore(store_, {.fix = true});
  EXPECT_GT(fix.Remaining(), 0u);  // what could lose a drawing is left to the user
  for (const PlantedFault& fault : planted) {
    const StoreFinding* finding = FindingOf(fix, fault);
    ASSERT_NE(finding, nullptr) << fault.kind << " " << fault.path;
    EXPECT_EQ(finding->fixed, fault.fixable) << fault.kind << " " << fault.path;
  }
  const std::string app = GeneralAppFolder(store_), recycle = store_ + "/DATA/RECYCCAD";
  const auto exists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; };
  EXPECT_FALSE(exists(app + "/CADAPP.LOC"));
  EXPECT_FALSE(exists(recycle + "/LOCK.TMP"));
  for (const char* kept : {"/[WORK.001][SITE.001][HNY]前の図面.003",
                           "/[WORK.001][SITE.001][HNY]古い図面.001", "/no tokens.002"})
    EXPECT_TRUE(exists(recycle + kept)) << kept;
  struct stat st {};
  ASSERT_EQ(::stat((app + "/Fol.001").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02775u);  // bits added, none taken away

  // Only the faults that need a person are left.
  const StoreCheckReport again = CheckStore(store_);
  for (const PlantedFault& fault : planted)
    EXPECT_EQ(FindingOf(again, fault) != nullptr, !fault.fixable)
        << fault.kind << " " << fault.path;
}

// A recycle folder that is a file or a link makes every deletion fail: the
// check says so instead of finding nothing wrong.
// The store folder's mode is the policy: what an entry lacks of it is reported
// and added by the fix, nothing is ever taken away, and an index file made
// read-only on purpose only needs to stay readable.
TEST_F(StoreCheck, PermissionsAreOnlyAddedAndAReadOnlyIndexFileStaysReadOnly) {
  const std::string drawing = GeneralAppFolder(store_) + "/Fol.002";
  const std::string readOnly = drawing + "/INDEX.VXF";
  const std::string privateFile = drawing + "/pagefile.000";
  const std::string ownFolder = drawing + "/notes";
  ASSERT_EQ(::chmod(readOnly.c_str(), 0440), 0);
  ASSERT_EQ(::chmod(privateFile.c_str(), 0700), 0);
  ASSERT_EQ(::mkdir(ownFolder.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(ownFolder.c_str(), 0700), 0);  // not the set-group-id bit it inherits
  const auto modeOf = [](const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
  };
  const auto problemOf = [](const StoreCheckReport& report, const std::string& path) {
    for (const StoreFinding& finding : report.findings)
      if (finding.kind == "permissions" && finding.path == path) return finding.problem;
    return std::string();
  };

  const StoreCheckReport report = CheckStore(store_);
  EXPECT_EQ(problemOf(report, readOnly), "");
  EXPECT_NE(problemOf(report, privateFile).find("mode 0700, lacks g+rw"), std::string::npos)
      << problemOf(report, privateFile);
  EXPECT_NE(problemOf(report, ownFolder).find("mode 0700, lacks g+rwx,g+s"), std::string::npos)
      << problemOf(report, ownFolder);

  const StoreCheckReport fixed = CheckStore(store_, {.fix = true});
  EXPECT_EQ(modeOf(readOnly), 0440u);
  EXPECT_EQ(modeOf(privateFile), 0760u);  // the owner's execute bit stays
  EXPECT_EQ(modeOf(ownFolder), 02770u);
  EXPECT_EQ(problemOf(CheckStore(store_), privateFile), "");
}

TEST_F(StoreCheck, ARecycleFolderThatIsNoFolderIsReported) {
  const std::string recycle = store_ + "/DATA/RECYCCAD";
  for (const char* what : {"fifo", "link"}) {
    SCOPED_TRACE(what);
    if (what == std::string("fifo")) {
      ASSERT_EQ(::mkfifo(recycle.c_str(), 0666), 0);
    }
    if (what == std::string("link")) {
      ::mkdir((dir_ / "elsewhere").c_str(), 0700);
      ASSERT_EQ(::symlink((dir_ / "elsewhere").c_str(), recycle.c_str()), 0);
    }
    const StoreCheckReport report = CheckStore(store_, {.fix = true});
    const StoreFinding* finding = FindingOf(report, {"recycle", recycle, false});
    ASSERT_NE(finding, nullptr);
    EXPECT_FALSE(finding->fixed);
    EXPECT_NE(finding->problem.find(what == std::string("link") ? "symbolic link" : "not a folder"),
              std::string::npos)
        << finding->problem;
    ASSERT_EQ(::unlink(recycle.c_str()), 0);
  }
}

// A drawing folder the check could not list (here: deeper than it reads) is
// not one to remove.
TEST_F(StoreCheck, ADrawingFolderItCouldNotReadIsNeverCalledBroken) {
  std::string deep = store_ + "/DATA";
  for (int level = 0; level < 14; ++level) deep += "/d";
  const std::string drawing = GeneralAppFolder(store_) + "/Fol.001";
  ASSERT_EQ(std::system(("mkdir -p " + deep + " && cp -r " + drawing + " " + deep).c_str()), 0);
  const StoreCheckReport report = CheckStore(store_);
  const StoreFinding* finding = FindingOf(report, {"index", deep + "/Fol.001", false});
  ASSERT_NE(finding, nullptr);
  EXPECT_NE(finding->problem.find("could not be read"), std::string::npos) << finding->problem;
  EXPECT_EQ(finding->action.find("remove"), std::string::npos) << finding->action;
}

// The gaps are closed from what the recycle folder holds once its lock is
// held: a deletion that ended between the check's reading and the fix
// (simulated through the fault seam) never ends with two containers in a slot.
TEST_F(StoreCheck, GapsAreClosedFromWhatTheLockedRecycleFolderHolds) {
  const std::string recycle = store_ + "/DATA/RECYCCAD";
  for (const char* name : {"/[WORK.001][SITE.001][HNY]b.002", "/[WORK.001][SITE.001][HNY]c.004"})
    WriteFileBytes(recycle + name + "/Fol.001/INDEX.VXF", "x");
  platform::FaultEnv faults;
  faults.Before(platform::Op::Open, "LOCK.TMP", 0, [&] {
    WriteFileBytes(recycle + "/[WORK.001][SITE.001][HNY]a.001/Fol.001/INDEX.VXF", "x");
  });
  StoreCheckReport report;
  {
    platform::ScopedEnv scoped(faults);
    report = CheckStore(store_, {.fix = true});
  }
  const StoreFinding* finding = FindingOf(report, {"recycle", recycle, false});
  ASSERT_NE(finding, nullptr);
  EXPECT_TRUE(finding->fixed);
  for (const char* kept : {"/[WORK.001][SITE.001][HNY]a.001", "/[WORK.001][SITE.001][HNY]b.002",
                           "/[WORK.001][SITE.001][HNY]c.003"})
    EXPECT_EQ(::access((recycle + kept).c_str(), F_OK), 0) << kept;
  EXPECT_EQ(FindingOf(CheckStore(store_), {"recycle", recycle, false}), nullptr);
}

}  // namespace
}  // namespace vexa::test
