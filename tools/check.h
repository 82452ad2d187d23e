// vexafol check: a doctor for a shared drawing store. The store is read once
// into a tree of entries; each check looks at the part it knows, adds findings
// (what is wrong, what it means, what to do) and, with --fix, repairs only
// what cannot lose a drawing.
#pragma once

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

namespace vexa::tool {

struct Finding {
  std::string kind;     // short tag: "permissions", "index", "recycle", ...
  std::string path;     // the entry concerned
  std::string problem;  // what is wrong
  std::string meaning;  // what it does to the users of the store
  std::string action;   // what to do about it
  bool fixed = false;   // --fix repaired it
};

// What the check found out about the file system of the store.
struct FileSystemFacts {
  bool probed = false;     // a probe file could be made in the store folder
  bool locksWork = false;  // per-handle, per-process locks and the in-use mark behave
  bool caseSensitive = true;
  std::string localLocks;  // the mount option that keeps locks local, or ""
};

struct CheckReport {
  std::string store;
  FileSystemFacts facts;
  std::vector<Finding> findings;

  void Add(Finding finding) { findings.push_back(std::move(finding)); }
  // Findings that --fix did not (or could not) repair.
  size_t Remaining() const;
};

struct StoreEntry {
  std::string path;
  std::string name;
  struct stat st {};
};

// Every entry below the store folder, parents before their children.
struct StoreTree {
  std::string root;
  struct stat rootStat {};
  std::vector<StoreEntry> entries;
  std::map<std::string, std::vector<size_t>> children;  // folder path -> entry indexes
  bool cut = false;  // the tree was larger or deeper than a check reads

  // Entries directly inside folder (the root or an entry's path).
  std::vector<const StoreEntry*> Children(const std::string& folder) const;
};

// Reads the tree below root. False with *error set when root is no readable folder.
bool ReadStoreTree(const std::string& root, StoreTree& tree, std::string* error);

// The checks, each in a file of its own.
void CheckFileSystem(const StoreTree& tree, CheckReport& report);
void CheckPermissions(const StoreTree& tree, bool fix, CheckReport& report);
void CheckDrawings(const StoreTree& tree, CheckReport& report);
void CheckNameCase(const StoreTree& tree, CheckReport& report);
void CheckLockFiles(const StoreTree& tree, bool fix, CheckReport& report);
void CheckDrafts(const StoreTree& tree, bool fix, CheckReport& report);
void CheckRecycleFolders(const StoreTree& tree, bool fix, CheckReport& report);

// The report for people, or as one JSON object for scripts.
void PrintReport(const CheckReport& report);
void PrintReportJson(const CheckReport& report);

}  // namespace vexa::tool
