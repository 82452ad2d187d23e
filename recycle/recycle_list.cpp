// What the slots of the recycle folder hold, for listings.
#include <sys/stat.h>

#include "folderlist/folderlist_scan.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "vexafol/filetime.h"
#include "vexafol/recycle.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

int AppOfHome(const CEnvironObj& env, const std::string& home) {
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    if (id != -1 && platform::EqualsNoCase(GetSenyouPath(env, id), home)) return id;
  }
  return 0;
}

// The drawing folder ("FOL.*", any case) inside a container.
std::string DrawingIn(const CEnvironObj& env, const std::string& container) {
  std::vector<platform::DirEntry> entries;
  if (platform::CurrentEnv().ListDir(container, entries) != 0) return "";
  for (const platform::DirEntry& entry : entries) {
    if (!entry.isDir || !platform::EqualsNoCase(env.GetBaseNameFromFileName(entry.name), "FOL"))
      continue;
    std::string path = container;
    env.AddFileName(path, entry.name);
    return path;
  }
  return "";
}

}  // namespace

std::vector<RecycleSlot> ListRecycleSlots(const CEnvironObj& env) {
  std::vector<RecycleSlot> slots;
  const std::string recycle =
      platform::ResolveStoreName(CreateRecycleCadHomePath(env), IsLockFileName);
  if (recycle.empty() || env.IsExist(recycle) <= 0) return slots;
  for (int n = 1; n <= kRecycleSlots; ++n) {
    RecycleSlot slot;
    slot.container = FindRecycleSlot(env, recycle, n);
    if (slot.container.empty()) continue;
    slot.slot = n;
    slot.drawing = DrawingIn(env, slot.container);
    VexaFileHeader header;
    if (!slot.drawing.empty() && folder_list::ReadIndexHeader(env, slot.drawing, header))
      slot.title = header.Title();
    slot.appId = AppOfHome(env, folder_list::RecycleEntryHome(
                                    env, recycle, env.GetFileNameFromRelativePath(slot.container)));
    struct stat st;
    if (platform::CurrentEnv().Stat(slot.container, st) == 0) slot.deleted = st.st_mtim.tv_sec;
    slots.push_back(std::move(slot));
  }
  return slots;
}

}  // namespace vexa
