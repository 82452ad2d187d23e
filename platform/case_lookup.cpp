#include "platform/case_lookup.h"

#include <cerrno>
#include <vector>

#include "platform/env.h"

namespace vexa::platform {
namespace {

struct SplitPath {
  bool absolute = false;
  std::vector<std::string> parts;
};

SplitPath Split(const std::string& path) {
  SplitPath split;
  split.absolute = !path.empty() && path.front() == '/';
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) split.parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return split;
}

// The last component that Split would give ("" when there is none), without
// splitting the whole path: a missing lock file is answered with no allocation
// of the other components.
std::string LastPart(const std::string& path) {
  const size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return "";
  const size_t slash = path.find_last_of('/', end);
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(start, end + 1 - start);
}

// The first `count` components as a path; "." (or "/") for none, so it can be listed.
std::string Join(const SplitPath& split, size_t count) {
  std::string path = split.absolute ? "/" : "";
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) path += '/';
    path += split.parts[i];
  }
  return path.empty() ? "." : path;
}

}  // namespace

std::string FindEntryNoCase(const std::string& folder, const std::string& name) {
  std::vector<DirEntry> entries;
  if (CurrentEnv().ListDir(folder, entries) != 0) return "";
  std::string best;
  for (const DirEntry& entry : entries) {
    if (entry.name == name) return name;
    if (EqualsNoCase(entry.name, name) && (best.empty() || entry.name < best)) best = entry.name;
  }
  return best;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

int StatStoreName(const std::string& path, ExactNameRule isExact, struct stat& st,
                  std::string* resolved) {
  Env& env = CurrentEnv();
  if (resolved) *resolved = path;
  const int exact = env.Stat(path, st);
  if (exact != -ENOENT) return exact;

  const std::string last = LastPart(path);
  if (last.empty() || isExact(last)) return exact;
  SplitPath split = Split(path);

  // Walk up to the deepest ancestor that exists as spelled.
  size_t known = split.parts.size() - 1;
  while (known > 0) {
    struct stat ancestor;
    const int result = env.Stat(Join(split, known), ancestor);
    if (result == 0) {
      if (!S_ISDIR(ancestor.st_mode)) return exact;
      break;
    }
    if (result != -ENOENT) return exact;
    --known;
  }

  // Resolve the missing components downwards, reading each parent once.
  bool changed = false;
  size_t next = known;
  for (; next < split.parts.size(); ++next) {
    const std::string& part = split.parts[next];
    if (part == "." || part == "..") break;
    const std::string match = FindEntryNoCase(Join(split, next), part);
    if (match.empty()) break;
    if (match != part) {
      split.parts[next] = match;
      changed = true;
    }
  }
  if (!changed) return exact;
  const std::string found = Join(split, split.parts.size());
  if (resolved) *resolved = found;
  if (next < split.parts.size()) return exact;
  return env.Stat(found, st);
}

std::string ResolveStoreName(const std::string& path, ExactNameRule isExact) {
  struct stat st;
  std::string resolved;
  StatStoreName(path, isExact, st, &resolved);
  return resolved;
}

}  // namespace vexa::platform
