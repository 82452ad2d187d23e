#include "tools/store_find.h"

#include <vector>

#include "tools/support/local_system.h"
#include "vexafol/store_layout.h"
#include "vexafol/store_name.h"

namespace vexa::tool {
namespace {

// A folder below parent spelled name in any ASCII case, not a link.
bool HasFolder(const std::string& parent, const std::string& name) {
  return IsFolderNotLink(ResolveStoreName(parent + "/" + name));
}

// A site folder of work with CAD in it; each folder looked into counts
// against budget.
bool HoldsSiteWithCad(const std::string& work, int& budget) {
  std::vector<std::string> sites;
  if (ListFolder(work, sites) != 0) return false;
  for (const std::string& site : sites) {
    if (budget-- <= 0) return false;
    if (HasFolder(work + "/" + site, "CAD")) return true;
  }
  return false;
}

}  // namespace

bool IsStoreTop(const std::string& folder) {
  const std::string data = ResolveStoreName((folder == "/" ? "" : folder) + "/DATA");
  if (!IsFolderNotLink(data)) return false;
  if (HasFolder(data, kRecycleName)) return true;
  std::vector<std::string> works;
  if (ListFolder(data, works) != 0) return false;
  int budget = kMostFoldersLooked;
  for (const std::string& work : works) {
    if (budget-- <= 0) return false;
    if (IsFolderNotLink(data + "/" + work) && HoldsSiteWithCad(data + "/" + work, budget))
      return true;
  }
  return false;
}

std::string EnclosingStore(const std::string& path) {
  if (path.empty() || path[0] != '/') return "";
  // Components as written, without empty ones and ".".
  std::vector<std::string> parts;
  for (size_t start = 1; start <= path.size();) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  for (size_t depth = parts.size() + 1; depth-- > 0;) {
    std::string folder;
    for (size_t i = 0; i < depth; ++i) folder += "/" + parts[i];
    if (IsStoreTop(depth == 0 ? std::string("/") : folder)) return depth == 0 ? "/" : folder;
  }
  return "";
}

}  // namespace vexa::tool
