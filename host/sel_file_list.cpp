#include "vexafol/sel_file_list.h"

#include <algorithm>
#include <cerrno>

#include "host/wildcard.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

bool NameBefore(const platform::DirEntry& a, const platform::DirEntry& b) {
  const size_t common = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < common; ++i) {
    const char x = platform::AsciiUpper(a.name[i]), y = platform::AsciiUpper(b.name[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

}  // namespace

int CSelFileList::AddFileList(const CEnvironObj& env, const std::string& folder,
                              const std::string& filter, const char* ext, int /*flag*/, Callback cb,
                              void* data) {
  selectExt_ = ext ? ext : "";
  std::vector<platform::DirEntry> found;
  std::string listed = folder;
  int result = platform::CurrentEnv().ListDir(listed, found);
  if (result == -ENOENT) {
    // A folder copied from Windows may differ in case from the name asked for.
    listed = platform::ResolveStoreName(folder, IsLockFileName);
    if (listed != folder) {
      found.clear();
      result = platform::CurrentEnv().ListDir(listed, found);
    }
  }
  if (result != 0) return 0;
  std::sort(found.begin(), found.end(), NameBefore);

  const std::vector<std::string> patterns = host::FilterPatterns(filter);
  int added = 0;
  for (const platform::DirEntry& entry : found) {
    if (!host::FilterAdmits(patterns, entry.name)) continue;
    std::string display = entry.name;
    if (cb) {
      std::string path = listed;
      env.AddFileName(path, entry.name);
      if (!cb(env, display, path, data)) continue;
    }
    entries_.push_back({entry.name, std::move(display)});
    ++added;
  }
  return added;
}

int CSelFileList::GetCnt() const {
  return static_cast<int>(entries_.size());
}

std::string CSelFileList::GetFileName(int i) const {
  return i >= 0 && i < GetCnt() ? entries_[i].name : "";
}

std::string CSelFileList::GetDispStr(int i) const {
  return i >= 0 && i < GetCnt() ? entries_[i].display : "";
}

int CSelFileList::GetSelect() const {
  if (selectExt_.empty()) return -1;
  for (int i = 0; i < GetCnt(); ++i) {
    const std::string& name = entries_[i].name;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && platform::EqualsNoCase(name.substr(dot), selectExt_)) return i;
  }
  return -1;
}

}  // namespace vexa
