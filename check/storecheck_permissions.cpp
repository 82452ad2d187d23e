// Which folders and files would other members of the store's group be unable
// to use? The store folder's mode is the policy (docs/shared-stores.md): every
// folder below it should grant the group and others what a new folder made
// there would get, every file what a new file would get, and with set-group-id
// on the store folder everything should belong to its group. The fix adds the
// missing bits and sets the group; it never takes a permission away.
#include <cstdio>
#include <cstring>

#include "check/storecheck_parts.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/store_fs.h"
#include "vexafol/store_layout.h"

namespace vexa::check {
namespace {

constexpr mode_t kSharedClasses = S_IRWXG | S_IRWXO;

struct UserInfo {
  std::string name;
  gid_t group = static_cast<gid_t>(-1);  // primary group; -1 for an unknown user
};

UserInfo LookUpUser(uid_t uid) {
  UserInfo user;
  if (!platform::CurrentEnv().UserOf(uid, user.name, user.group)) return {std::to_string(uid)};
  return user;
}

std::string OwnerName(uid_t uid) {
  return LookUpUser(uid).name;
}

std::string GroupName(gid_t gid) {
  const std::string name = platform::CurrentEnv().GroupName(gid);
  return name.empty() ? std::to_string(gid) : name;
}

std::string Octal(mode_t mode) {
  char text[16];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// Bits in chmod's words: "g+rw,o+r", "g+s".
std::string Symbolic(mode_t bits) {
  std::string text;
  const auto add = [&](const char* who, mode_t read, mode_t write, mode_t search) {
    std::string part;
    if (bits & read) part += 'r';
    if (bits & write) part += 'w';
    if (bits & search) part += 'x';
    if (!part.empty()) text += (text.empty() ? "" : ",") + std::string(who) + "+" + part;
  };
  add("u", S_IRUSR, S_IWUSR, S_IXUSR);
  add("g", S_IRGRP, S_IWGRP, S_IXGRP);
  add("o", S_IROTH, S_IWOTH, S_IXOTH);
  if (bits & S_ISGID) text += (text.empty() ? "" : ",") + std::string("g+s");
  return text;
}

// Who can repair an entry of owner.
std::string FixBy(uid_t owner) {
  if (owner == 0) return "vexafol check --fix, run by root";
  return "vexafol check --fix, run by its owner (" + OwnerName(owner) + ") or root";
}

// What the other users lose, by the kind of entry.
std::string Meaning(const StoreEntry& entry) {
  if (S_ISDIR(entry.st.st_mode))
    return "other members of the group cannot make lock files, drawings or recycle containers "
           "in this folder, or cannot see into it";
  if (IsLockFileName(entry.name))
    return "other members of the group cannot open this lock file for writing: their locks "
           "fail and the drawings it covers read as locked for them while it exists";
  return "other members of the group cannot read or save this file";
}

// The bits the entry lacks, by the policy of a store folder of mode store.
mode_t MissingBits(const StoreEntry& entry, mode_t store) {
  const mode_t mode = entry.st.st_mode;
  if (S_ISDIR(mode)) return platform::FolderModeIn(store) & (kSharedClasses | S_ISGID) & ~mode;
  // A file without any write bit was made read-only on purpose (the index
  // file of a protected drawing); it only needs to stay readable.
  mode_t wanted = platform::FileModeIn(store) & kSharedClasses;
  if (!(mode & (S_IWUSR | S_IWGRP | S_IWOTH))) wanted &= S_IRGRP | S_IROTH;
  return wanted & ~mode;
}

// Changes the entry relative (below the store folder, "" for the store folder
// itself) through a descriptor of the entry, never through a link, and only
// while it is still the entry the check read.
bool Repair(const platform::StoreDir& store, const std::string& relative, const struct stat& read,
            mode_t mode, gid_t group, bool regroup) {
  return store.IsOpen() && store.ChangeMode(relative, read, mode & 07777,
                                            regroup ? group : static_cast<gid_t>(-1)) == 0;
}

}  // namespace

void CheckPermissions(const StoreTree& tree, bool fix, StoreCheckReport& report) {
  const mode_t store = tree.rootStat.st_mode;
  const gid_t group = tree.rootStat.st_gid;
  const std::string groupName = GroupName(group);
  // A folder of its owner's own group is a store of one user (the umask 002 of
  // user private groups makes it group-writable); only a store shared with a
  // group needs the set-group-id bit.
  const bool sharedGroup = group != LookUpUser(tree.rootStat.st_uid).group;
  platform::StoreDir storeDir;
  if (fix) platform::StoreDir::OpenBelow(tree.root, tree.root, storeDir);
  if ((store & S_IWGRP) && !(store & S_ISGID) && sharedGroup) {
    StoreFinding finding{
        "permissions", tree.root,
        "the store folder (mode " + Octal(store) +
            ") is writable by its group but has no set-group-id bit",
        "what a user makes in the store belongs to that user's own group, not to " + groupName +
            ", so the other members cannot use it",
        FixBy(tree.rootStat.st_uid) + ", or chmod g+s"};
    finding.fixed = fix && Repair(storeDir, "", tree.rootStat, store | S_ISGID, group, false);
    report.Add(finding);
  }
  for (const StoreEntry& entry : tree.entries) {
    if (!S_ISDIR(entry.st.st_mode) && !S_ISREG(entry.st.st_mode)) continue;
    const mode_t missing = MissingBits(entry, store);
    const bool regroup = (store & S_ISGID) && entry.st.st_gid != group;
    if (!missing && !regroup) continue;
    std::string problem = "mode " + Octal(entry.st.st_mode);
    if (missing) problem += ", lacks " + Symbolic(missing);
    if (regroup) problem += ", group " + GroupName(entry.st.st_gid) + " instead of " + groupName;
    StoreFinding finding{"permissions", entry.path,
                         problem + " (owner " + OwnerName(entry.st.st_uid) + ")", Meaning(entry),
                         FixBy(entry.st.st_uid)};
    if (entry.behindLink) {
      // What a link leads to may lie outside the store: it is never changed.
      finding.problem += ", reached through a symbolic link";
      finding.action =
          "change it where it lies, by hand, if it belongs to the store; "
          "vexafol check --fix changes nothing through a link";
    } else {
      finding.fixed = fix && Repair(storeDir, RelativePath(tree, entry), entry.st,
                                    entry.st.st_mode | missing, group, regroup);
    }
    report.Add(finding);
  }
}

}  // namespace vexa::check
