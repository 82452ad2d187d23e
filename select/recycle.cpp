// The slots of the recycle folder and the move of a drawing into slot 1.
// Every step that can be interrupted leaves each drawing whole: a drawing
// moves with one rename, containers move with one rename each, and the
// container that leaves slot 10 is first renamed out of the slots, so a
// removal cut short never leaves half a drawing in a slot.
#include "vexafol/recycle.h"

#include <cerrno>

#include "lock/recycle_lock.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/sysinfo.h"
#include "vexafol/folderlock.h"
#include "vexafol/hooks.h"
#include "vexafol/sel_file_list.h"

namespace vexa {
namespace {

// Where the container leaving slot 10 goes before it is removed: no slot
// number and no brackets, so neither the slots nor the recycle scan see it.
constexpr const char kRemovedContainer[] = "REMOVING.TMP";

int KeepSlotFolder(const CEnvironObj& env, std::string&, const std::string& path, void*) {
  const int n = env.GetExtNumber(env.GetFileNameFromRelativePath(path));
  return n >= 1 && n <= kRecycleSlots && env.IsExist(path) > 0 ? 1 : 0;
}

std::string LastErrorText() {
  return platform::SystemErrorText(static_cast<unsigned long>(platform::LastSystemError()));
}

// The same folder and base name as container, with the extension of slot n.
std::string SlotPath(const CEnvironObj& env, const std::string& container, int n) {
  std::string path = env.GetVolumePath(container);
  path += env.GetPathNameFromRelativePath(env.GetRelativePath(container));
  env.AddFileName(path, env.GetBaseNameFromFileName(container) + env.GetExtStr(n));
  return path;
}

bool MoveSlot(const CEnvironObj& env, const std::string& container, int n) {
  return platform::CurrentEnv().RenameNoReplace(container, SlotPath(env, container, n)) == 0;
}

// An empty container is what a deletion interrupted between making the
// container and moving the drawing leaves: it holds no drawing and would
// take a slot for nothing.
bool RemoveIfEmpty(const CEnvironObj& env, const std::string& container) {
  std::vector<platform::DirEntry> entries;
  return platform::CurrentEnv().ListDir(container, entries) == 0 && entries.empty() &&
         env.RemoveDir(container, 0) != 0;
}

std::string RemovedContainer(const CEnvironObj& env, const std::string& recycleFolder) {
  std::string removed = recycleFolder;
  env.AddFileName(removed, kRemovedContainer);
  return removed;
}

// Removes slot 10 by way of kRemovedContainer.
bool RemoveLastSlot(const CEnvironObj& env, const std::string& recycleFolder) {
  const std::string removed = RemovedContainer(env, recycleFolder);
  const std::string last = FindRecycleSlot(env, recycleFolder, kRecycleSlots);
  if (platform::CurrentEnv().RenameNoReplace(last, removed) != 0) return false;
  return env.RemoveDir(removed, 1) != 0 &&
         FindRecycleSlot(env, recycleFolder, kRecycleSlots).empty();
}

}  // namespace

std::string FindRecycleSlot(const CEnvironObj& env, const std::string& recycleFolder, int n) {
  const std::string ext = n >= 1 && n <= kRecycleSlots ? env.GetExtStr(n) : "";
  CSelFileList list;
  list.AddFileList(env, recycleFolder, "", ext.c_str(), 0, KeepSlotFolder, nullptr);
  const int selected = list.GetSelect();
  if (selected < 0) return "";
  std::string path = recycleFolder;
  env.AddFileName(path, list.GetFileName(selected));
  return path;
}

int FreeRecycleSlot(const CEnvironObj& env, const std::string& recycleFolder) {
  if (recycleFolder.empty() || env.IsExist(recycleFolder) <= 0) return 0;
  for (int n = 1; n <= kRecycleSlots; ++n) {
    if (FindRecycleSlot(env, recycleFolder, n).empty()) return n;
  }
  return 0;
}

bool TidyRecycle(const CEnvironObj& env, const std::string& recycleFolder) {
  // What a removal cut short left behind.
  const std::string removed = RemovedContainer(env, recycleFolder);
  if (env.IsExist(removed) > 0 && !env.RemoveDir(removed, 1)) return false;

  bool full = true;
  int next = 1;
  for (int n = 1; n <= kRecycleSlots; ++n) {
    const std::string container = FindRecycleSlot(env, recycleFolder, n);
    if (container.empty() || RemoveIfEmpty(env, container)) {
      full = false;
      continue;
    }
    if (n != next && !MoveSlot(env, container, next)) return false;
    ++next;
  }
  if (full && !RemoveLastSlot(env, recycleFolder)) return false;
  for (int n = kRecycleSlots - 1; n >= 1; --n) {
    const std::string container = FindRecycleSlot(env, recycleFolder, n);
    if (!container.empty() && !MoveSlot(env, container, n + 1)) return false;
  }
  return true;
}

bool MoveToRecycle(const CEnvironObj& env, const FolMember& member, std::string& error) {
  WaitCursor wait;
  const std::string drawing = member.GetPath(env, 0);
  // A recycle folder copied from Windows may be named in another case.
  const std::string recycle = platform::ResolveStoreName(CreateRecycleCadHomePath(env));

  platform::SetLastSystemError(0);
  if (env.IsExist(recycle) != 1) {
    if (!env.CreateDir(recycle, 1)) {
      error = "ごみ箱フォルダを作成できません。\n" + LastErrorText();
      return false;
    }
    // Hidden where the file system has the attribute, as on Windows; a file
    // system without it leaves the folder as it is.
    platform::CurrentEnv().AddHiddenAttribute(recycle);
  }

  RecycleFolderLock lock(env, recycle);
  if (!lock.IsHeld()) {
    error = lock.ErrorMessage();
    return false;
  }

  platform::SetLastSystemError(0);
  if (!TidyRecycle(env, recycle)) {
    error = "ごみ箱フォルダを整理できません。\n" + LastErrorText();
    return false;
  }

  std::string container = recycle;
  env.AddFileName(container, RecycleContainerName(env, member, FreeRecycleSlot(env, recycle)));
  platform::SetLastSystemError(0);
  if (!env.CreateDir(container, 1)) {
    error = "ごみ箱フォルダにフォルダを作成できません。\n" + LastErrorText();
    return false;
  }

  // rename(2) moves a folder whose files are open, which Windows refuses:
  // holding the drawing lock keeps a drawing in use where it is.
  std::string target = container;
  env.AddFileName(target, env.GetFileNameFromRelativePath(drawing));
  VexaFolderLock drawingLock(&env);
  platform::SetLastSystemError(0);
  const bool locked = drawingLock.LockZmn(drawing.c_str()) != 0;
  if (!locked) platform::SetLastSystemError(EBUSY);
  if (!locked || platform::CurrentEnv().RenameNoReplace(drawing, target) != 0) {
    error = "図面をごみ箱フォルダへ移動できません。\n" + LastErrorText();
    // Only an empty container goes: whatever the rename reported, a drawing
    // that did arrive stays.
    env.RemoveDir(container, 0);
    return false;
  }
  return true;
}

}  // namespace vexa
