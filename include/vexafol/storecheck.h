// The store check: what would trouble the users of a shared drawing store.
// CheckStore reads the store once and answers with findings, each saying what
// is wrong, what it means to the users and what to do about it. It changes
// nothing unless asked to fix, and a fix only does what cannot lose a drawing:
// it adds missing permission bits and the store's group, removes lock files
// nobody has open and empty drafts, and closes gaps between recycle slots.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "vexafol/export.h"

namespace vexa {

struct StoreFinding {
  std::string kind;     // short tag: "permissions", "index", "recycle", ...
  std::string path;     // the entry concerned
  std::string problem;  // what is wrong
  std::string meaning;  // what it does to the users of the store
  std::string action;   // what to do about it
  bool fixed = false;   // the fix repaired it
};

// What the check found out about the file system of the store.
struct StoreFileSystemFacts {
  bool probed = false;     // a probe file could be made in the store folder
  bool locksWork = false;  // per-handle, per-process locks and the in-use mark behave
  bool caseSensitive = true;
  std::string localLocks;   // the mount option that keeps locks local, or ""
  std::string mountType;    // file system type of the store's mount ("ext4", "cifs"), or ""
  std::string mountSource;  // what is mounted there ("//server/share", "server:/export")
  // "smb-client" (an SMB share of a file server), "nfs", "local" (a disk of
  // this computer), "samba-export" (a folder this computer's Samba exports to
  // Windows clients), "unknown"; docs/shared-stores.md says what holds in each.
  std::string deployment;
  bool sambaChecked = false;             // testparm could be run
  std::vector<std::string> sambaShares;  // Samba shares whose folder holds the store
};

struct StoreCheckOptions {
  bool fix = false;  // repair what cannot lose a drawing
};

struct StoreCheckReport {
  std::string store;      // the store folder, without trailing slashes
  bool readable = false;  // false: the store is no readable folder and error says why
  std::string error;
  StoreFileSystemFacts facts;
  std::vector<StoreFinding> findings;

  void Add(StoreFinding finding) { findings.push_back(std::move(finding)); }
  // Findings that the fix did not (or could not) repair.
  size_t Remaining() const {
    return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                             [](const StoreFinding& f) { return !f.fixed; }));
  }
};

// Checks the store folder store: the lock semantics of its file system (two
// handles of this process and a child process, the in-use mark), whether the
// mount keeps locks local, whether names are case-sensitive; folders and files
// other members of the store's group cannot use; drawing folders, index and
// page files, titles, names that differ only in case; lock files and drafts
// left by processes that are gone; the recycle folders. Makes one probe file
// in the store folder and removes it again; forks one child process for the
// lock test, and runs `testparm -s` (at most 10 s) to find the Samba shares
// that export the store. Never throws.
VEXA_CORE_API StoreCheckReport CheckStore(const std::string& store,
                                          const StoreCheckOptions& options = {});

}  // namespace vexa
