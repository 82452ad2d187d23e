// Reading a store into the tree the checks share: one listing per folder.
#include <cerrno>
#include <cstring>

#include "check/storecheck_parts.h"
#include "platform/env.h"

namespace vexa::check {
namespace {

// A store is a few levels deep (data, work folder, site, CAD, application,
// drawing, backup); links that loop back end here.
constexpr int kMaxDepth = 16;
constexpr size_t kMaxEntries = 500000;

// Reading follows folder links (a store may link a folder on another disk);
// what lies behind one is marked, and no fix ever changes it.
void ReadFolder(const std::string& folder, bool behindLink, int depth, StoreTree& tree) {
  std::vector<platform::DirEntry> listed;
  platform::Env& env = platform::CurrentEnv();
  if (const int rc = env.ListDir(folder, listed)) {
    tree.unread[folder] = std::strerror(-rc);
    return;
  }
  std::vector<size_t>& children = tree.children[folder];
  for (const platform::DirEntry& item : listed) {
    if (tree.entries.size() >= kMaxEntries) {
      tree.cut = true;
      return;
    }
    StoreEntry entry;
    entry.name = item.name;
    entry.path = folder + "/" + item.name;
    if (env.Lstat(entry.path, entry.st) != 0) continue;  // gone meanwhile
    entry.isLink = S_ISLNK(entry.st.st_mode);
    entry.behindLink = behindLink || entry.isLink;
    if (entry.isLink && env.Stat(entry.path, entry.st) != 0) continue;  // a dangling link
    children.push_back(tree.entries.size());
    tree.entries.push_back(entry);
  }
  for (size_t index : std::vector<size_t>(children)) {
    if (!S_ISDIR(tree.entries[index].st.st_mode)) continue;
    const StoreEntry entry = tree.entries[index];
    if (depth + 1 >= kMaxDepth) {
      tree.cut = true;
      tree.unread[entry.path] = "it lies deeper than the check reads";
      continue;
    }
    ReadFolder(entry.path, entry.behindLink, depth + 1, tree);
  }
}

}  // namespace

std::vector<const StoreEntry*> StoreTree::Children(const std::string& folder) const {
  std::vector<const StoreEntry*> found;
  const auto it = children.find(folder);
  if (it == children.end()) return found;
  for (size_t index : it->second) found.push_back(&entries[index]);
  return found;
}

std::string RelativePath(const StoreTree& tree, const StoreEntry& entry) {
  return entry.path.substr(tree.root.size() + (tree.root == "/" ? 0 : 1));
}

bool ReadStoreTree(const std::string& root, StoreTree& tree, std::string* error) {
  tree.root = root;
  while (tree.root.size() > 1 && tree.root.back() == '/') tree.root.pop_back();
  const int rc = platform::CurrentEnv().Stat(tree.root, tree.rootStat);
  if (rc != 0 || !S_ISDIR(tree.rootStat.st_mode)) {
    *error = root + (rc != 0 ? ": " + std::string(std::strerror(-rc)) : ": not a folder");
    return false;
  }
  ReadFolder(tree.root, false, 0, tree);
  return true;
}

}  // namespace vexa::check
