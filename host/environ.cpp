// The file-system defaults of CEnvironObj. Paths use "/"; a leading "/" is the
// volume. Names split as Windows' _splitpath splits them: the extension starts
// at the last dot of the last component, so ".bashrc" is all extension.
#include "vexafol/environ.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/store_fs.h"
#include "vexafol/hooks.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

// path without its trailing separators; a lone "/" stays.
std::string TrimTrailingSeparators(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  return path.substr(0, end);
}

std::string LastComponent(const std::string& path) {
  const std::string trimmed = TrimTrailingSeparators(path);
  if (trimmed == "/") return "";
  const size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
  const std::string trimmed = TrimTrailingSeparators(path);
  if (trimmed.empty() || trimmed == "/") return "";
  const size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos) return "";
  const std::string parent = TrimTrailingSeparators(trimmed.substr(0, slash));
  return parent.empty() ? "/" : parent;
}

// Position of the extension's dot in a single name, or npos.
size_t ExtensionDot(const std::string& name) {
  return name.rfind('.');
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return platform::CurrentEnv().Stat(path, st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p: every missing folder on the way, then the folder itself. The
// deepest existing folder is the host's (its links are followed); from there
// each folder is made and entered by descriptor, so a link put in place of a
// folder just made is never followed. Something other than a folder in the
// way fails with ENOTDIR as the system error.
bool MakeDirs(const std::string& dir) {
  platform::Env& env = platform::CurrentEnv();
  std::vector<std::string> missing;
  std::string existing = dir;
  struct stat st;
  int found;
  while ((found = env.Stat(existing, st)) == -ENOENT) {
    missing.push_back(LastComponent(existing));
    // A relative path's top folder lies in the current folder.
    std::string parent = ParentOf(existing).empty() ? std::string(".") : ParentOf(existing);
    if (parent == existing) return false;
    existing = std::move(parent);
  }
  if (found != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    platform::SetLastSystemError(ENOTDIR);
    return false;
  }
  platform::StoreDir folder;
  if (platform::StoreDir::OpenBelow(existing, existing, folder) != 0) return false;
  for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
    const int made = folder.MakeDir(*name);
    if (made != 0 && made != -EEXIST) return false;
    platform::StoreDir next;
    if (folder.OpenDir(*name, next) != 0) return false;
    folder = std::move(next);
  }
  return true;
}

}  // namespace

void CEnvironObj::AddFileName(std::string& path, const std::string& name) const {
  const size_t start = name.find_first_not_of('/');
  if (start == std::string::npos) return;
  if (!path.empty() && path.back() != '/') path += '/';
  path.append(name, start, std::string::npos);
}

std::string CEnvironObj::GetFileNameFromRelativePath(const std::string& path) const {
  return LastComponent(path);
}

std::string CEnvironObj::GetDirNameFromRelativePath(const std::string& path) const {
  return ParentOf(path);
}

std::string CEnvironObj::GetPathNameFromRelativePath(const std::string& path) const {
  return GetDirNameFromRelativePath(path);
}

std::string CEnvironObj::GetBaseNameFromFileName(const std::string& name) const {
  const std::string last = LastComponent(name);
  return last.substr(0, ExtensionDot(last));
}

std::string CEnvironObj::GetExtNameFromFileName(const std::string& name) const {
  const std::string last = LastComponent(name);
  const size_t dot = ExtensionDot(last);
  return dot == std::string::npos ? "" : last.substr(dot);
}

std::string CEnvironObj::GetVolumePath(const std::string& path) const {
  return !path.empty() && path.front() == '/' ? "/" : "";
}

std::string CEnvironObj::GetRelativePath(const std::string& path) const {
  const size_t start = path.find_first_not_of('/');
  return start == std::string::npos ? "" : path.substr(start);
}

int CEnvironObj::IsExist(const std::string& path) const {
  if (path.empty()) return -1;
  struct stat st;
  if (platform::StatStoreName(path, IsLockFileName, st) != 0) return -1;
  return S_ISDIR(st.st_mode) ? 1 : 0;
}

int CEnvironObj::CreateDir(const std::string& path, int self) const {
  const std::string folder = self ? TrimTrailingSeparators(path) : GetDirNameFromRelativePath(path);
  if (folder.empty()) return self ? 0 : 1;  // a bare file name needs no folder
  return MakeDirs(platform::ResolveStoreName(folder, IsLockFileName)) ? 1 : 0;
}

int CEnvironObj::RemoveDir(const std::string& path, int recursive) const {
  if (path.empty()) return 0;
  const std::string folder =
      platform::ResolveStoreName(TrimTrailingSeparators(path), IsLockFileName);
  if (!IsDirectory(folder)) return 0;
  // A link to a folder is removed itself; what it points at is never emptied.
  struct stat st;
  if (platform::CurrentEnv().Lstat(folder, st) == 0 && S_ISLNK(st.st_mode))
    return recursive && platform::CurrentEnv().Unlink(folder) == 0 ? 1 : 0;
  if (recursive) return platform::RemoveTreeAt(folder) == 0 ? 1 : 0;
  return platform::CurrentEnv().RemoveDir(folder) == 0 ? 1 : 0;
}

std::string CEnvironObj::GetExtStr(int n) const {
  char text[16];
  std::snprintf(text, sizeof text, ".%03d", n);
  return text;
}

int CEnvironObj::GetExtNumber(const std::string& name) const {
  const std::string ext = GetExtNameFromFileName(name);
  if (ext.size() < 2 || ext.size() > 10) return -1;  // at most nine digits: no overflow
  int number = 0;
  for (size_t i = 1; i < ext.size(); ++i) {
    if (ext[i] < '0' || ext[i] > '9') return -1;
    number = number * 10 + (ext[i] - '0');
  }
  return number;
}

std::string CEnvironObj::SelectOpenFile(void* parent, const std::string& folder,
                                        const std::string& filter, const std::string& ext,
                                        const std::string& title) const {
  return SelectOpenFileByHook(parent, folder, filter, ext, title);
}

int CEnvironObj::IsOpeAllowed(unsigned long code) const {
  return IsOperationAllowed(code);
}

}  // namespace vexa
