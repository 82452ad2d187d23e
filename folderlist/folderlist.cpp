#include "vexafol/folderlist.h"

#include <sys/stat.h>

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "folderlist/folderlist_scan.h"
#include "folderlist/lock_refresh.h"
#include "folderlist/record_maker.h"
#include "folderlist/sort_order.h"
#include "host/load_progress.h"
#include "platform/case_lookup.h"
#include "vexafol/filetime.h"
#include "vexafol/folderlock.h"
#include "vexafol/hooks.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

// Oldest first. Drawings created at the same moment keep the scan order, so a
// load is repeatable (any order of equal times is allowed). The 856-byte
// records are sorted through their keys and then moved into place once.
void SortByCreationTime(std::vector<FolMember>& records) {
  std::vector<std::pair<int64_t, int>> keys;
  keys.reserve(records.size());
  for (size_t i = 0; i < records.size(); ++i)
    keys.emplace_back(FileTimeRank(records[i].header.createTime), static_cast<int>(i));
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // Position i takes the record at keys[i].second: follow each cycle once.
  std::vector<bool> placed(records.size());
  for (size_t start = 0; start < records.size(); ++start) {
    if (placed[start]) continue;
    FolMember first = std::move(records[start]);
    size_t to = start;
    for (size_t from = keys[to].second; from != start; from = keys[to].second) {
      records[to] = std::move(records[from]);
      placed[to] = true;
      to = from;
    }
    records[to] = std::move(first);
    placed[to] = true;
  }
}

}  // namespace

struct VexaFolderList::Impl {
  const CEnvironObj* env;
  // Records in creation-time order. A vector replaces the original's array of
  // pointers grown by 100 slots; records never move after a load.
  std::vector<FolMember> members;
  int mask = 0;
  int flags = 0;
  std::string loadPath;
  int sortType = kSortCreationOrder;
  int sortDir = 0;
  // Position -> member index; empty while the sort type is 0.
  std::vector<int> order;
  std::unique_ptr<VexaFolderLock> lock;

  bool InRange(int i) const { return i >= 0 && i < static_cast<int>(members.size()); }

  void RebuildOrder() {
    order.clear();
    if (sortType == kSortCreationOrder) return;
    std::vector<const FolMember*> records;
    records.reserve(members.size());
    for (const FolMember& member : members) records.push_back(&member);
    order = FolderSortOrder(*env, records, sortType, sortDir);
  }
};

VexaFolderList::VexaFolderList(const CEnvironObj& env) : impl_(std::make_unique<Impl>()) {
  impl_->env = &env;
}

VexaFolderList::~VexaFolderList() = default;

int VexaFolderList::GetAppFolder(int appId, std::string* folder) const {
  const std::string path = GetSenyouPath(*impl_->env, appId);
  if (folder) *folder = path;
  return path.empty() ? 0 : 1;
}

void VexaFolderList::Load(int mask, int flags) {
  impl_->mask = mask;
  impl_->flags = flags;
  Reload();
}

void VexaFolderList::Reload() {
  const LoadProgress progress = CurrentLoadProgress();
  std::optional<WaitCursor> wait;
  if (!progress.hook) wait.emplace();
  Impl& d = *impl_;
  const CEnvironObj& env = *d.env;
  d.members.clear();
  d.order.clear();
  d.lock.reset();
  const int flags = d.flags;
  // Out of memory while listing ends the load with the records made so far (a
  // record that fails alone is dropped by the record maker); out of memory
  // while ordering them leaves the list empty. The load itself never fails.
  try {
    if ((flags & (kLoadNoLocks | kLoadRecycled | kLoadBackups)) == 0)
      d.lock = std::make_unique<VexaFolderLock>(&env);

    folder_list::RecordMaker maker(env, d.members);
    try {
      for (int row = 0; row < GetSenyouCnt(); ++row) {
        const int id = GetSenyouId(row);
        if (id == -1 || (id & d.mask) == 0) continue;
        if ((flags & ~kLoadNoLocks) == 0) {
          std::string folder;
          GetAppFolder(id, &folder);  // an empty folder simply finds nothing
          folder_list::ScanAppFolder(env, folder, id, d.lock.get(), maker);
        }
        if (flags & kLoadRecycled) folder_list::ScanRecycle(env, id, maker);
        if ((flags & kLoadBackups) && !d.loadPath.empty())
          folder_list::ScanBackups(env, d.loadPath, id, maker);
      }
    } catch (const std::bad_alloc&) {
    }
    const bool complete = maker.Finish([&progress](int read, int listed) {
      return !progress.hook || progress.hook(progress.context, read, listed) != 0;
    });
    if (!complete) {
      d.members.clear();
      return;
    }
  } catch (const std::bad_alloc&) {
  }
  try {
    SortByCreationTime(d.members);
    d.RebuildOrder();
  } catch (const std::bad_alloc&) {
    d.members.clear();
    d.order.clear();
  }
}

void VexaFolderList::SetLoadPath(const std::string& path) {
  impl_->loadPath = path;
}

int VexaFolderList::GetAppType() const {
  return impl_->mask;
}

int VexaFolderList::GetLoadFlags() const {
  return impl_->flags;
}

int VexaFolderList::GetFolderNum() const {
  return static_cast<int>(impl_->members.size());
}

const FolMember* VexaFolderList::GetFolderMember(int i) const {
  return impl_->InRange(i) ? &impl_->members[i] : nullptr;
}

const FolMember* VexaFolderList::GetSortedFolderMember(int i) const {
  return GetFolderMember(ToSortedIndex(i));
}

int VexaFolderList::ToSortedIndex(int i) const {
  const Impl& d = *impl_;
  if (!d.InRange(i)) return -1;
  if (d.sortType == kSortCreationOrder) return i;
  return i < static_cast<int>(d.order.size()) ? d.order[i] : -1;
}

void VexaFolderList::SetSortType(int type) {
  if (type == impl_->sortType && impl_->sortDir == 0) return;
  impl_->sortType = type;
  impl_->sortDir = 0;
  impl_->RebuildOrder();
}

void VexaFolderList::SetSortType(int type, int direction) {
  if (type == impl_->sortType && direction == impl_->sortDir) return;
  impl_->sortType = type;
  impl_->sortDir = direction;
  impl_->RebuildOrder();
}

int VexaFolderList::GetSortType() const {
  return impl_->sortType;
}

int VexaFolderList::GetSortDir() const {
  return impl_->sortDir;
}

void VexaFolderList::SetBackupPath(int i) {
  if (!impl_->InRange(i)) return;
  CreateBackupPath(*impl_->env, impl_->members[i].path, 0);
}

int VexaFolderList::IsExistCadFile(int appId) const {
  WaitCursor wait;
  std::string folder;
  if (!GetAppFolder(appId, &folder)) return 0;
  return folder_list::CountDrawingFolders(*impl_->env, folder, true);
}

int VexaFolderList::CountCadFile(int appId) const {
  WaitCursor wait;
  std::string folder;
  if (!GetAppFolder(appId, &folder)) return 0;
  return folder_list::CountDrawingFolders(*impl_->env, folder, false);
}

int VexaFolderList::GetLockType(const CEnvironObj& env, const std::string& path) {
  if (env.IsExist(path) != 0) return 1;
  struct stat st;
  if (platform::StatStoreName(path, IsLockFileName, st) != 0) return 1;
  // Read-only as Windows knows it: nobody may write the file.
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? 2 : 0;
}

VexaFolderLock* VexaFolderList::GetFolderLock() {
  return impl_->lock.get();
}

int VexaFolderList::RefreshLockStates() {
  if (!impl_->lock) return 0;
  return folderlist::RefreshLockStates(*impl_->env, *impl_->lock, impl_->members);
}

const CEnvironObj& VexaFolderList::GetEnvObj() const {
  return *impl_->env;
}

}  // namespace vexa
