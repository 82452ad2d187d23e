// The parts of the store check. The store is read once into a tree of
// entries; each part looks at what it knows, adds findings to the report and,
// when asked to fix, repairs only what cannot lose a drawing.
#pragma once

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "vexafol/storecheck.h"

namespace vexa::check {

struct StoreEntry {
  std::string path;
  std::string name;
  struct stat st {};        // of what the entry names, a link followed
  bool isLink = false;      // the entry itself is a symbolic link
  bool behindLink = false;  // it is a link or lies in a folder reached through one
};

// Every entry below the store folder, parents before their children.
struct StoreTree {
  std::string root;
  struct stat rootStat {};
  std::vector<StoreEntry> entries;
  std::map<std::string, std::vector<size_t>> children;  // folder path -> entry indexes
  bool cut = false;  // the tree was larger or deeper than a check reads
  // Folders whose entries were not read, and why.
  std::map<std::string, std::string> unread;

  // Entries directly inside folder (the root or an entry's path).
  std::vector<const StoreEntry*> Children(const std::string& folder) const;
};

// The path of entry relative to the store folder.
std::string RelativePath(const StoreTree& tree, const StoreEntry& entry);

// Reads the tree below root. False with *error set when root is no readable folder.
bool ReadStoreTree(const std::string& root, StoreTree& tree, std::string* error);

// The parts, each in a file of its own.
void CheckFileSystem(const StoreTree& tree, StoreCheckReport& report);
void CheckDeployment(const StoreTree& tree, StoreCheckReport& report);
void CheckPermissions(const StoreTree& tree, bool fix, StoreCheckReport& report);
void CheckDrawings(const StoreTree& tree, StoreCheckReport& report);
void CheckNameCase(const StoreTree& tree, StoreCheckReport& report);
void CheckLockFiles(const StoreTree& tree, bool fix, StoreCheckReport& report);
void CheckOwnerNotes(const StoreTree& tree, bool fix, StoreCheckReport& report);
void CheckDrafts(const StoreTree& tree, bool fix, StoreCheckReport& report);
void CheckRecycleFolders(const StoreTree& tree, bool fix, StoreCheckReport& report);

}  // namespace vexa::check
