// The slots of the recycle folder and the move of a drawing into slot 1.
// Every step that can be interrupted leaves each drawing whole: a drawing
// moves with one rename, containers move with one rename each, and the
// container that leaves slot 10 is first renamed out of the slots, so a
// removal cut short never leaves half a drawing in a slot.
#include "vexafol/recycle.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "lock/recycle_lock.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/store_fs.h"
#include "platform/sysinfo.h"
#include "vexafol/folderlock.h"
#include "vexafol/hooks.h"
#include "vexafol/sel_file_list.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

// Where the container leaving slot 10 goes before it is removed: no slot
// number and no brackets, so neither the slots nor the recycle scan see it.
constexpr const char kRemovedContainer[] = "REMOVING.TMP";

// Only real folders are slots: a link named like a slot is no container and
// takes no slot, so no reorganisation renames or removes through it.
int KeepSlotFolder(const CEnvironObj& env, std::string&, const std::string& path, void*) {
  const int n = env.GetExtNumber(env.GetFileNameFromRelativePath(path));
  struct stat st;
  return n >= 1 && n <= kRecycleSlots && platform::CurrentEnv().Lstat(path, st) == 0 &&
                 S_ISDIR(st.st_mode)
             ? 1
             : 0;
}

std::string LastErrorText() {
  return platform::SystemErrorText(static_cast<unsigned long>(platform::LastSystemError()));
}

std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// Opens the recycle folder R below the data path: R itself must be a folder,
// never a link (-ELOOP), and no folder on the way below the data path either.
int OpenRecycleFolder(const CEnvironObj& env, const std::string& recycleFolder,
                      platform::StoreDir& dir) {
  return platform::StoreDir::OpenBelow(env.GetDataPath(), recycleFolder, dir);
}

// Renames the container to the same base name with the extension of slot n.
bool MoveSlot(const CEnvironObj& env, const platform::StoreDir& recycle,
              const std::string& container, int n) {
  const std::string name = NameOf(container);
  return recycle.Rename(name, recycle, env.GetBaseNameFromFileName(name) + env.GetExtStr(n)) == 0;
}

// An empty container is what a deletion interrupted between making the
// container and moving the drawing leaves: it holds no drawing and would
// take a slot for nothing.
bool RemoveIfEmpty(const platform::StoreDir& recycle, const std::string& container) {
  platform::StoreDir folder;
  std::vector<platform::DirEntry> entries;
  return recycle.OpenDir(NameOf(container), folder) == 0 && folder.List(entries) == 0 &&
         entries.empty() && recycle.RemoveEmptyDir(NameOf(container)) == 0;
}

// Removes slot 10 by way of kRemovedContainer.
bool RemoveLastSlot(const CEnvironObj& env, const platform::StoreDir& recycle) {
  const std::string last = FindRecycleSlot(env, recycle.path(), kRecycleSlots);
  if (recycle.Rename(NameOf(last), recycle, kRemovedContainer) != 0) return false;
  return recycle.RemoveTree(kRemovedContainer) == 0 &&
         FindRecycleSlot(env, recycle.path(), kRecycleSlots).empty();
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
  platform::StoreDir recycle;
  if (OpenRecycleFolder(env, recycleFolder, recycle) != 0) return false;
  // What a removal cut short left behind.
  struct stat st;
  if (recycle.Stat(kRemovedContainer, st) == 0 && recycle.RemoveTree(kRemovedContainer) != 0)
    return false;

  bool full = true;
  int next = 1;
  for (int n = 1; n <= kRecycleSlots; ++n) {
    const std::string container = FindRecycleSlot(env, recycle.path(), n);
    if (container.empty() || RemoveIfEmpty(recycle, container)) {
      full = false;
      continue;
    }
    if (n != next && !MoveSlot(env, recycle, container, next)) return false;
    ++next;
  }
  if (full && !RemoveLastSlot(env, recycle)) return false;
  for (int n = kRecycleSlots - 1; n >= 1; --n) {
    const std::string container = FindRecycleSlot(env, recycle.path(), n);
    if (!container.empty() && !MoveSlot(env, recycle, container, n + 1)) return false;
  }
  return true;
}

bool MoveToRecycle(const CEnvironObj& env, const FolMember& member, std::string& error) try {
  WaitCursor wait;
  const std::string drawing = member.GetPath(env, 0);
  // A recycle folder copied from Windows may be named in another case.
  const std::string recyclePath =
      platform::ResolveStoreName(CreateRecycleCadHomePath(env), IsLockFileName);

  platform::SetLastSystemError(0);
  if (env.IsExist(recyclePath) != 1) {
    if (!env.CreateDir(recyclePath, 1)) {
      error = "ごみ箱フォルダを作成できません。\n" + LastErrorText();
      return false;
    }
    // Hidden where the file system has the attribute, as on Windows; a file
    // system without it leaves the folder as it is.
    platform::CurrentEnv().AddHiddenAttribute(recyclePath);
  }
  // A link is no recycle folder: the slots are never reorganised through it.
  platform::StoreDir recycle;
  if (OpenRecycleFolder(env, recyclePath, recycle) != 0) {
    error = "ごみ箱フォルダを作成できません。\n" + LastErrorText();
    return false;
  }

  RecycleFolderLock lock(env, recyclePath);
  if (!lock.IsHeld()) {
    error = lock.ErrorMessage();
    return false;
  }

  platform::SetLastSystemError(0);
  if (!TidyRecycle(env, recyclePath)) {
    error = "ごみ箱フォルダを整理できません。\n" + LastErrorText();
    return false;
  }

  const std::string containerName =
      RecycleContainerName(env, member, FreeRecycleSlot(env, recyclePath));
  platform::StoreDir container;
  platform::SetLastSystemError(0);
  if (recycle.MakeDir(containerName) != 0 || recycle.OpenDir(containerName, container) != 0) {
    error = "ごみ箱フォルダにフォルダを作成できません。\n" + LastErrorText();
    return false;
  }

  // rename(2) moves a folder whose files are open, which Windows refuses:
  // holding the drawing lock keeps a drawing in use where it is.
  VexaFolderLock drawingLock(&env);
  platform::SetLastSystemError(0);
  const bool locked = drawingLock.LockZmn(drawing.c_str()) != 0;
  if (!locked) platform::SetLastSystemError(EBUSY);
  platform::StoreDir application;
  if (!locked ||
      platform::StoreDir::OpenBelow(env.GetDataPath(), env.GetDirNameFromRelativePath(drawing),
                                    application) != 0 ||
      application.Rename(NameOf(drawing), container, NameOf(drawing)) != 0) {
    error = "図面をごみ箱フォルダへ移動できません。\n" + LastErrorText();
    // Only an empty container goes: whatever the rename reported, a drawing
    // that did arrive stays.
    recycle.RemoveEmptyDir(containerName);
    return false;
  }
  return true;
} catch (const std::bad_alloc&) {
  // Every step that changed the disk either finished or left the drawing
  // where it was; the locks go with their owners' destructors.
  error = "図面をごみ箱フォルダへ移動できません。\n" + platform::SystemErrorText(ENOMEM);
  return false;
}

}  // namespace vexa
