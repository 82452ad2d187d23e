#include "check/storecheck_deployment.h"

#include <fnmatch.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "check/storecheck_parts.h"
#include "lock/lock_file.h"
#include "platform/env.h"
#include "platform/mount_check.h"

namespace vexa::check {
namespace {

// testparm answers in well under a second; a hung one must not hang the check.
constexpr int kTestparmMilliseconds = 10000;
// Folders between the store and the root of the file system tree, at most.
constexpr int kMostAncestors = 64;

std::string_view Trim(std::string_view text) {
  const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsTrue(const std::string& value) {
  const std::string v = Lower(value);
  return v == "yes" || v == "true" || v == "1" || v == "on";
}

// A share from its parameters (the global ones first, then its own).
SambaShare ShareOf(const std::string& name, const std::map<std::string, std::string>& params) {
  SambaShare share;
  share.name = name;
  const auto get = [&](const char* key, const char* fallback) {
    const auto it = params.find(key);
    return it == params.end() ? std::string(fallback) : it->second;
  };
  share.path = get("path", "");
  if (share.path.empty()) share.path = get("directory", "");
  share.posixLocking = IsTrue(get("posix locking", "yes"));
  share.oplocks = IsTrue(get("oplocks", "yes"));
  share.kernelOplocks = IsTrue(get("kernel oplocks", "no"));
  share.vetoOplockFiles = get("veto oplock files", "");
  return share;
}

bool IsPrintable(const std::map<std::string, std::string>& params) {
  for (const char* key : {"printable", "print ok"}) {
    const auto it = params.find(key);
    if (it != params.end() && IsTrue(it->second)) return true;
  }
  return false;
}

}  // namespace

std::vector<SambaShare> ParseTestparm(std::string_view text) {
  std::vector<SambaShare> shares;
  std::map<std::string, std::string> globals;
  std::map<std::string, std::string> params;
  std::string section;
  const auto finish = [&] {
    if (section.empty() || Lower(section) == "global") return;
    if (IsPrintable(params)) return;
    SambaShare share = ShareOf(section, params);
    if (!share.path.empty()) shares.push_back(std::move(share));
  };
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      finish();
      if (Lower(section) == "global") globals = params;
      section = std::string(Trim(line.substr(1, line.size() - 2)));
      params = Lower(section) == "global" ? std::map<std::string, std::string>{} : globals;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || section.empty()) continue;
    params[Lower(Trim(line.substr(0, equals)))] = std::string(Trim(line.substr(equals + 1)));
  }
  finish();
  return shares;
}

bool OplocksOnLockFiles(const SambaShare& share) {
  if (!share.oplocks || share.kernelOplocks) return false;
  // "/pattern/pattern/", matched without regard to case as Samba does by default.
  const auto vetoed = [&](const char* name) {
    size_t start = 0;
    const std::string& list = share.vetoOplockFiles;
    while (start < list.size()) {
      const size_t end = std::min(list.find('/', start), list.size());
      const std::string pattern = list.substr(start, end - start);
      if (!pattern.empty() && fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0) return true;
      start = end + 1;
    }
    return false;
  };
  return !(vetoed(kDrawingLockFileName) && vetoed(lock::PageLockName(kFirstDrawingNo).c_str()) &&
           vetoed(kRecycleLockFileName));
}

Deployment DeploymentOf(const std::string& fsType, bool exportedBySamba) {
  if (exportedBySamba) return Deployment::SambaExport;
  if (fsType == "cifs" || fsType == "smb3" || fsType == "smbfs") return Deployment::SmbClient;
  if (fsType.compare(0, 3, "nfs") == 0) return Deployment::Nfs;
  static const char* const kLocal[] = {"ext2",  "ext3", "ext4",     "xfs",     "btrfs",   "tmpfs",
                                       "zfs",   "f2fs", "vfat",     "exfat",   "msdos",   "ntfs",
                                       "ntfs3", "jfs",  "bcachefs", "overlay", "reiserfs"};
  for (const char* local : kLocal)
    if (fsType == local) return Deployment::Local;
  return Deployment::Unknown;
}

const char* DeploymentName(Deployment deployment) {
  switch (deployment) {
    case Deployment::SmbClient:
      return "smb-client";
    case Deployment::Nfs:
      return "nfs";
    case Deployment::Local:
      return "local";
    case Deployment::SambaExport:
      return "samba-export";
    case Deployment::Unknown:
      break;
  }
  return "unknown";
}

namespace {

// Whether the folder path names the store folder or one of the folders above
// it (compared by device and inode, so links and relative paths do not matter).
bool Covers(const std::string& path, const StoreTree& tree) {
  platform::Env& env = platform::CurrentEnv();
  struct stat share;
  if (path.empty() || env.Stat(path, share) != 0 || !S_ISDIR(share.st_mode)) return false;
  std::string folder = tree.root;
  struct stat current = tree.rootStat;
  for (int up = 0; up < kMostAncestors; ++up) {
    if (current.st_dev == share.st_dev && current.st_ino == share.st_ino) return true;
    folder += "/..";
    struct stat parent;
    if (env.Stat(folder, parent) != 0) return false;
    if (parent.st_dev == current.st_dev && parent.st_ino == current.st_ino) return false;  // "/"
    current = parent;
  }
  return false;
}

// Whether the store keeps its lock files: a KEEPLOCKS marker in the store
// folder, a folder above it, or anywhere inside it.
bool KeepsLockFiles(const StoreTree& tree) {
  if (lock::LockFilesStay(tree.root + "/" + kDrawingLockFileName)) return true;
  return std::any_of(tree.entries.begin(), tree.entries.end(), [](const StoreEntry& entry) {
    return entry.name == lock::kKeepLockFilesMarker;
  });
}

void AddSambaFindings(const StoreTree& tree, const SambaShare& share, StoreCheckReport& report) {
  const std::string named = "Samba share [" + share.name + "] (" + share.path + ")";
  if (!share.posixLocking) {
    report.Add({"deployment", tree.root, named + " keeps its clients' byte locks to itself",
                "Linux users here do not see the drawings Windows users have open, nor they "
                "theirs: two of them can edit one drawing at once",
                "remove \"posix locking = no\" from the share (the default is yes)"});
  }
  if (OplocksOnLockFiles(share)) {
    report.Add({"deployment", tree.root, named + " may grant oplocks on the lock files",
                "a Windows client holding an oplock may keep its byte locks on its own computer, "
                "where Linux users here do not see them",
                "add \"veto oplock files = /*.LOC/LOCK.TMP/\" to the share, or have the Linux "
                "users mount the share through cifs (docs/shared-stores.md)"});
  }
  report.Add({"deployment", tree.root,
              named + " exports the store to Windows clients while Linux users here open it "
                      "directly",
              "a Windows client that deletes a lock file as its last user sees only Samba's "
              "own clients, so it can delete one a Linux user here holds",
              "have the Linux users of this computer mount the share through cifs "
              "(mount -t cifs //localhost/" +
                  share.name + " ...) and use the store there (docs/shared-stores.md)"});
}

}  // namespace

void CheckDeployment(const StoreTree& tree, StoreCheckReport& report) {
  StoreFileSystemFacts& facts = report.facts;
  platform::Env& env = platform::CurrentEnv();
  const std::vector<platform::MountEntry> mounts =
      platform::MountsOf(env.ReadSystemFile("/proc/self/mountinfo"), major(tree.rootStat.st_dev),
                         minor(tree.rootStat.st_dev));
  if (!mounts.empty()) {
    facts.mountType = mounts.front().fsType;
    facts.mountSource = mounts.front().source;
  }
  std::string testparm;
  const int status = env.RunProgram({"testparm", "-s"}, kTestparmMilliseconds, testparm);
  facts.sambaChecked = status >= 0;
  std::vector<const SambaShare*> covering;
  const std::vector<SambaShare> shares = ParseTestparm(testparm);
  for (const SambaShare& share : shares) {
    if (!Covers(share.path, tree)) continue;
    covering.push_back(&share);
    facts.sambaShares.push_back(share.name);
  }
  facts.deployment = DeploymentName(DeploymentOf(facts.mountType, !covering.empty()));
  for (const SambaShare* share : covering) AddSambaFindings(tree, *share, report);
  if (!covering.empty() && !KeepsLockFiles(tree)) {
    report.Add({"deployment", tree.root,
                "Linux users here delete lock files as their last user (no KEEPLOCKS marker)",
                "a Windows client that has a lock file open but locks nothing at that moment "
                "is invisible to them: they delete the file, and its next lock lands on a file "
                "nobody else sees",
                "create an empty file KEEPLOCKS in the store folder, or have the Linux users "
                "mount the share through cifs (docs/shared-stores.md)"});
  }
}

}  // namespace vexa::check
