// Two names of one folder that differ only in ASCII case: Windows users and
// the store's case-insensitive lookups see only one of them.
#include <map>
#include <string>

#include "check/storecheck_parts.h"

namespace vexa::check {
namespace {

std::string FoldedAscii(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

}  // namespace

void CheckNameCase(const StoreTree& tree, StoreCheckReport& report) {
  for (const auto& [folder, indexes] : tree.children) {
    std::map<std::string, const StoreEntry*> seen;
    for (size_t index : indexes) {
      const StoreEntry& entry = tree.entries[index];
      const auto [first, added] = seen.emplace(FoldedAscii(entry.name), &entry);
      if (added) continue;
      report.Add(
          {"case", folder,
           "holds " + first->second->name + " and " + entry.name + ", which differ only in case",
           "Windows users and the store's lookups see only one of the two, and which "
           "one depends on the listing order",
           "merge the two or rename one of them by hand"});
    }
  }
}

}  // namespace vexa::check
