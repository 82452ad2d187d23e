// The recycle folders (RECYCCAD): containers whose names the recycle scan
// cannot read, more than ten containers, two in one slot, and slots with gaps.
// The fix closes the gaps under the recycle-folder lock, as a deletion's own
// reorganisation does; it never removes a container.
#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

#include "check/storecheck_parts.h"
#include "lock/recycle_lock.h"
#include "platform/case_lookup.h"
#include "platform/store_fs.h"
#include "vexafol/folder_environ.h"
#include "vexafol/store_layout.h"

namespace vexa::check {
namespace {

constexpr int kSlots = 10;

struct Container {
  const StoreEntry* entry;
  int slot;
};

// The three bracketed tokens the recycle scan reads, or false.
bool ReadTokens(std::string name, std::vector<std::string>& tokens) {
  for (int k = 0; k < 3; ++k) {
    const size_t open = name.find('[');
    const size_t close = name.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    tokens.push_back(name.substr(open + 1, close - open - 1));
    name.erase(0, close + 1);
  }
  return true;
}

// The application folder the scan finds for the tokens, beside the recycle folder.
std::string ApplicationFolder(const CEnvironObj& env, const std::string& recycle,
                              const std::vector<std::string>& tokens) {
  std::string path = env.GetDirNameFromRelativePath(recycle);
  env.AddFileName(path, tokens[0]);
  env.AddFileName(path, tokens[1]);
  env.AddFileName(path, "CAD");
  if (platform::EqualsNoCase(tokens[2], "JDN") || platform::EqualsNoCase(tokens[2], "ODN"))
    env.AddFileName(path, "JDN");
  else if (platform::EqualsNoCase(tokens[2], "TNK"))
    env.AddFileName(path, "CVL");
  env.AddFileName(path, tokens[2]);
  return path;
}

// The containers of the open recycle folder as it is now: real folders whose
// names end in slot numbers 1 to 10, in slot order; false when two share a
// slot or there are more than ten (then nothing is renumbered).
bool ReadSlots(const CEnvironObj& env, const platform::StoreDir& recycle,
               std::vector<std::pair<int, std::string>>& slots) {
  std::vector<platform::DirEntry> entries;
  if (recycle.List(entries) != 0) return false;
  for (const platform::DirEntry& entry : entries) {
    const int slot = env.GetExtNumber(entry.name);
    if (entry.isDir && slot >= 1 && slot <= kSlots) slots.emplace_back(slot, entry.name);
  }
  std::stable_sort(slots.begin(), slots.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < slots.size(); ++i)
    if (slots[i].first == slots[i - 1].first) return false;
  return slots.size() <= static_cast<size_t>(kSlots);
}

// Renames the containers to slots 1..k in their order. The recycle lock is
// taken before the folder is read again, so no deletion reorganises it between
// that reading and the renames; a rename never replaces anything.
bool CloseGaps(const CEnvironObj& env, const StoreTree& tree, const std::string& recyclePath) {
  platform::StoreDir recycle;
  if (platform::StoreDir::OpenBelow(tree.root, recyclePath, recycle) != 0) return false;
  RecycleFolderLock lock(env, recycle.path());
  if (!lock.IsHeld()) return false;  // a deletion is at work right now
  std::vector<std::pair<int, std::string>> slots;
  if (!ReadSlots(env, recycle, slots)) return false;
  int next = 1;
  for (const auto& [slot, name] : slots) {
    if (slot != next &&
        recycle.Rename(name, recycle, env.GetBaseNameFromFileName(name) + env.GetExtStr(next)) != 0)
      return false;
    ++next;
  }
  return true;
}

void CheckRecycleFolder(const StoreEntry& folder, const StoreTree& tree, bool fix,
                        StoreCheckReport& report) {
  const FolderEnvironObj env("");
  std::vector<Container> containers;
  for (const StoreEntry* child : tree.Children(folder.path)) {
    if (!S_ISDIR(child->st.st_mode)) continue;
    const int slot = env.GetExtNumber(child->name);
    if (slot < 1 || slot > kSlots) {
      report.Add({"recycle", child->path, "the name does not end in a slot number 1 to 10",
                  "no slot holds this container: its drawing never shows among the deleted "
                  "drawings and cannot be restored from the dialog",
                  "move the drawing folder inside it back into its application folder by hand"});
      continue;
    }
    // It holds its slot whatever the rest of its name says.
    containers.push_back({child, slot});
    std::vector<std::string> tokens;
    if (!ReadTokens(child->name, tokens)) {
      report.Add({"recycle", child->path, "the name does not begin with three bracketed tokens",
                  "the recycle scan cannot tell where its drawing came from: it never shows "
                  "among the deleted drawings of any application",
                  "move the drawing folder inside it back into its application folder by hand"});
      continue;
    }
    const std::string application = ApplicationFolder(env, folder.path, tokens);
    if (env.IsExist(application) <= 0) {
      report.Add({"recycle", child->path,
                  "its tokens lead to " + application + ", which is no folder",
                  "its drawing shows under no application among the deleted drawings",
                  "move the drawing folder inside it back into an application folder by hand"});
    }
  }
  std::stable_sort(containers.begin(), containers.end(),
                   [](const Container& a, const Container& b) { return a.slot < b.slot; });
  bool twins = false;
  for (size_t i = 1; i < containers.size(); ++i) {
    if (containers[i].slot != containers[i - 1].slot) continue;
    twins = true;
    report.Add({"recycle", containers[i].entry->path,
                "shares slot " + std::to_string(containers[i].slot) + " with " +
                    containers[i - 1].entry->name,
                "the recycle scan shows only one of the two; the next deletion's reorganisation "
                "may fail",
                "move one of the two drawing folders back into its application folder by hand"});
  }
  if (containers.size() > static_cast<size_t>(kSlots)) {
    report.Add({"recycle", folder.path,
                std::to_string(containers.size()) + " containers, more than ten",
                "the recycle folder keeps ten deleted drawings; the extra ones are never shown",
                "restore the drawings you still need by hand and remove the rest"});
    return;
  }
  bool gaps = false;
  for (size_t i = 0; i < containers.size(); ++i)
    gaps = gaps || containers[i].slot != static_cast<int>(i) + 1;
  if (!gaps || twins) return;
  StoreFinding finding{
      "recycle", folder.path,
      "the occupied slots are not 1 to " + std::to_string(containers.size()) + " without gaps",
      "harmless for reading; a deletion's reorganisation closes them again",
      "vexafol check --fix renumbers the containers in their order"};
  finding.fixed = fix && !folder.behindLink && CloseGaps(env, tree, folder.path);
  report.Add(finding);
}

}  // namespace

void CheckRecycleFolders(const StoreTree& tree, bool fix, StoreCheckReport& report) {
  for (const StoreEntry& entry : tree.entries) {
    if (!platform::EqualsNoCase(entry.name, kRecycleName)) continue;
    if (entry.isLink) {
      report.Add({"recycle", entry.path, "a symbolic link, not a recycle folder",
                  "deleting drawings fails: the library never reorganises a recycle folder "
                  "through a link, which could lead outside the store",
                  "remove the link; the next deletion makes a recycle folder"});
    } else if (!S_ISDIR(entry.st.st_mode)) {
      report.Add({"recycle", entry.path, "not a folder but a file, FIFO or device",
                  "deleting drawings fails: the recycle folder cannot be made under this name",
                  "remove it (look at what it holds first); the next deletion makes a recycle "
                  "folder"});
    } else {
      CheckRecycleFolder(entry, tree, fix, report);
    }
  }
}

}  // namespace vexa::check
