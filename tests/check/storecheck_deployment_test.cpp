// Telling the deployment of a store: the shares in `testparm -s` output and
// what each decides, the deployment of a mount type, and the whole check with
// a Samba configuration whose share holds the store.
#include "check/storecheck_deployment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/env.h"
#include "tests/support/temp_dir.h"
#include "vexafol/storecheck.h"

namespace vexa::check {
namespace {

// The shape of `testparm -s` output: globals first, a default-valued
// parameter left out, printers, homes without a path.
constexpr const char* kTestparm =
    "# Global parameters\n"
    "[global]\n"
    "\tlog file = /var/log/samba/log.%m\n"
    "\toplocks = No\n"
    "\tworkgroup = WORKGROUP\n"
    "\n"
    "\n"
    "[homes]\n"
    "\tbrowseable = No\n"
    "\tread only = No\n"
    "\n"
    "\n"
    "[printers]\n"
    "\tpath = /var/tmp\n"
    "\tprintable = Yes\n"
    "\n"
    "\n"
    "[CAD Store]\n"
    "\tpath = /srv/cad\n"
    "\tposix locking = No\n"
    "\tread only = No\n"
    "\n"
    "\n"
    "[plain]\n"
    "\tdirectory = /srv/plain\n"
    "\toplocks = yes\n"
    "\tveto oplock files = /*.loc/LOCK.TMP/\n"
    "; a comment = not a parameter\n"
    "[kernel]\n"
    "\tpath=/srv/kernel\n"
    "\toplocks = Yes\n"
    "\tkernel oplocks = Yes\n";

TEST(Deployment, ReadsTheFileSharesOfTestparmOutput) {
  const std::vector<SambaShare> shares = ParseTestparm(kTestparm);
  ASSERT_EQ(shares.size(), 3u);  // not [global], [homes] (no path) or [printers]
  struct Expected {
    const char* name;
    const char* path;
    bool posixLocking;
    bool oplocks;
    bool kernelOplocks;
    bool oplocksOnLockFiles;
  };
  const Expected expected[] = {
      // oplocks = No in [global] is every share's default
      {"CAD Store", "/srv/cad", false, false, false, false},
      // vetoed by patterns without regard to case
      {"plain", "/srv/plain", true, true, false, false},
      // local opens break the oplocks
      {"kernel", "/srv/kernel", true, true, true, false},
  };
  for (size_t i = 0; i < shares.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(shares[i].name, expected[i].name);
    EXPECT_EQ(shares[i].path, expected[i].path);
    EXPECT_EQ(shares[i].posixLocking, expected[i].posixLocking);
    EXPECT_EQ(shares[i].oplocks, expected[i].oplocks);
    EXPECT_EQ(shares[i].kernelOplocks, expected[i].kernelOplocks);
    EXPECT_EQ(OplocksOnLockFiles(shares[i]), expected[i].oplocksOnLockFiles);
  }
  EXPECT_TRUE(ParseTestparm("").empty());
  EXPECT_TRUE(ParseTestparm("garbage\n[unclosed\npath = /x\n").empty());
}

TEST(Deployment, OplocksReachTheLockFilesUnlessAllThreeAreVetoed) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},
      {"/*.LOC/", true},  // LOCK.TMP still gets oplocks
      {"/CADAPP.LOC/FOL???.LOC/LOCK.TMP/", false},
      {"/*.LOC/*.TMP/", false},
      {"/*.loc/lock.tmp", false},  // no closing slash
      {"/*.doc/", true},
  };
  for (const auto& [veto, oplocked] : cases) {
    SambaShare share;
    share.vetoOplockFiles = veto;
    EXPECT_EQ(OplocksOnLockFiles(share), oplocked) << veto;
  }
}

TEST(Deployment, FollowsTheMountTypeUnlessSambaExportsTheStore) {
  const std::pair<const char*, Deployment> cases[] = {
      {"cifs", Deployment::SmbClient},
      {"smb3", Deployment::SmbClient},
      {"nfs", Deployment::Nfs},
      {"nfs4", Deployment::Nfs},
      {"ext4", Deployment::Local},
      {"xfs", Deployment::Local},
      {"tmpfs", Deployment::Local},
      {"overlay", Deployment::Local},
      {"fuse.sshfs", Deployment::Unknown},
      {"", Deployment::Unknown},
  };
  for (const auto& [type, deployment] : cases) {
    EXPECT_EQ(DeploymentOf(type, false), deployment) << type;
    EXPECT_EQ(DeploymentOf(type, true), Deployment::SambaExport) << type;
  }
  EXPECT_STREQ(DeploymentName(Deployment::SambaExport), "samba-export");
  EXPECT_STREQ(DeploymentName(Deployment::Unknown), "unknown");
}

// This computer as the check sees it, with a Samba configuration of the
// test's choosing (or none: testparm not installed).
class SambaHost : public platform::Env {
 public:
  int RunProgram(const std::vector<std::string>& argv, int timeoutMs,
                 std::string& output) override {
    ++runs;
    EXPECT_EQ(argv, (std::vector<std::string>{"testparm", "-s"}));
    EXPECT_GT(timeoutMs, 0);
    output = testparm;
    return installed ? 0 : -ENOENT;
  }
  bool installed = true;
  std::string testparm;
  int runs = 0;
};

TEST(Deployment, TheCheckNamesTheSharesThatHoldTheStoreAndWhatTheyRisk) {
  test::TempDir dir;
  const std::string store = dir / "store";
  test::WriteFileBytes(store + "/keep", "");
  SambaHost host;
  platform::ScopedEnv scoped(host);

  host.installed = false;
  StoreCheckReport report = CheckStore(store);
  EXPECT_EQ(host.runs, 1);
  EXPECT_FALSE(report.facts.sambaChecked);
  EXPECT_FALSE(report.facts.mountType.empty());
  EXPECT_NE(report.facts.deployment, "samba-export");
  EXPECT_TRUE(report.facts.sambaShares.empty());

  // A share of the folder above the store (given through "..") holds it; a
  // share of a sibling folder does not. Default parameters: oplocks reach the
  // lock files, and Windows clients' deletes do not see Linux users here.
  host.installed = true;
  host.testparm =
      "[global]\n[above]\n\tpath = " + store + "/../\n[sibling]\n\tpath = " + dir.path() +
      "/other\n[locks off]\n\tpath = " + store + "\n\tposix locking = no\n" + "\toplocks = no\n";
  test::WriteFileBytes(dir / "other/keep", "");
  report = CheckStore(store);
  EXPECT_TRUE(report.facts.sambaChecked);
  EXPECT_EQ(report.facts.deployment, "samba-export");
  EXPECT_EQ(report.facts.sambaShares, (std::vector<std::string>{"above", "locks off"}));
  std::vector<std::string> problems;
  for (const StoreFinding& finding : report.findings)
    if (finding.kind == "deployment") problems.push_back(finding.problem);
  ASSERT_EQ(problems.size(), 5u);
  EXPECT_NE(problems[0].find("[above]"), std::string::npos);
  EXPECT_NE(problems[0].find("oplocks on the lock files"), std::string::npos);
  EXPECT_NE(problems[1].find("open it directly"), std::string::npos);
  EXPECT_NE(problems[2].find("[locks off]"), std::string::npos);
  EXPECT_NE(problems[2].find("byte locks to itself"), std::string::npos);
  EXPECT_NE(problems[3].find("[locks off]"), std::string::npos);
  EXPECT_NE(problems[4].find("no KEEPLOCKS marker"), std::string::npos);

  // A store that keeps its lock files (the marker in its data folder) is not
  // told to; the Windows clients' deletes are still a risk.
  test::WriteFileBytes(store + "/DATA/KEEPLOCKS", "");
  report = CheckStore(store);
  size_t kept = 0;
  for (const StoreFinding& finding : report.findings) {
    kept += finding.kind == "deployment";
    EXPECT_EQ(finding.problem.find("KEEPLOCKS"), std::string::npos) << finding.problem;
  }
  EXPECT_EQ(kept, 4u);
}

}  // namespace
}  // namespace vexa::check
