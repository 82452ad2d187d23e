// Bringing a chosen recycled or backup folder back as a drawing. The new
// folder appears with one rename, so a reader sees either no drawing under
// the new number or the whole of it.
#include "vexafol/restore.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>
#include <vector>

#include "lock/number_claim.h"
#include "lock/recycle_lock.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/store_fs.h"
#include "platform/sysinfo.h"
#include "vexafol/folmember.h"
#include "vexafol/hooks.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

constexpr const char* kOutOfMemory = "図面を戻せません。\n";

std::string ErrorText(int error) {
  return platform::SystemErrorText(static_cast<unsigned long>(error));
}

std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// Copies one regular file of from into a new file of to.
int CopyFile(const platform::StoreDir& from, const platform::StoreDir& to, const std::string& name,
             std::vector<char>& buffer) {
  platform::Env& os = platform::CurrentEnv();
  const int in = from.OpenFile(name);
  if (in < 0) return in;
  const int out = to.CreateFile(name);
  if (out < 0) {
    os.Close(in);
    return out;
  }
  int result = 0;
  for (ssize_t n; result == 0 && (n = os.Read(in, buffer.data(), buffer.size())) != 0;) {
    if (n < 0) result = static_cast<int>(n);
    for (ssize_t done = 0; result == 0 && done < n;) {
      const ssize_t written = os.Write(out, buffer.data() + done, static_cast<size_t>(n - done));
      if (written < 0) result = static_cast<int>(written);
      done += written;
    }
  }
  if (result == 0) result = os.Sync(out);
  os.Close(in);
  const int closed = os.Close(out);
  return result != 0 ? result : closed;
}

// Copies the regular files of the folder from into the folder to. A backup
// holds only the drawing's files: folders, links, FIFOs and devices in it are
// not copied, and no link is followed.
int CopyFiles(const platform::StoreDir& from, const platform::StoreDir& to) {
  std::vector<platform::DirEntry> entries;
  if (const int listed = from.List(entries)) return listed;
  std::vector<char> buffer(1 << 16);
  for (const platform::DirEntry& entry : entries) {
    struct stat st;
    if (entry.isDir || from.Stat(entry.name, st) != 0 || !S_ISREG(st.st_mode)) continue;
    const int copied = CopyFile(from, to, entry.name, buffer);
    // Replaced by something that is no regular file since the listing: not copied.
    if (copied == -ELOOP || copied == -ENXIO || copied == -EISDIR) continue;
    if (copied != 0) return copied;
  }
  return 0;
}

// Copies the backup into "RESTORE.NNN" beside target (made, filled and
// renamed by descriptor) and renames it to target: 0 or -errno.
int CopyIntoPlace(const CEnvironObj& env, const std::string& backupFolder,
                  const std::string& target) {
  platform::StoreDir backup, application, copy;
  if (const int rc = platform::StoreDir::OpenBelow(env.GetDirNameFromRelativePath(backupFolder),
                                                   backupFolder, backup))
    return rc;
  if (const int rc = platform::StoreDir::OpenBelow(
          env.GetDataPath(), env.GetDirNameFromRelativePath(target), application))
    return rc;
  const std::string copyName = "RESTORE" + env.GetExtNameFromFileName(target);
  struct stat st;
  if (application.Stat(copyName, st) == 0) application.RemoveTree(copyName);  // a copy cut short
  if (const int made = application.MakeDir(copyName)) return made;
  int result = application.OpenDir(copyName, copy);
  if (result == 0) result = CopyFiles(backup, copy);
  // Only the folder that was filled goes into place: one swapped in for it
  // meanwhile (somebody else's) is removed, never renamed as the drawing.
  struct stat filled, named;
  if (result == 0 && (platform::CurrentEnv().StatAt(copy.fd(), "", filled) != 0 ||
                      application.Stat(copyName, named) != 0 || filled.st_ino != named.st_ino ||
                      filled.st_dev != named.st_dev))
    result = -ESTALE;
  if (result == 0) result = application.Rename(copyName, application, NameOf(target));
  if (result != 0) application.RemoveTree(copyName);
  return result;
}

}  // namespace

std::string RestoreRecycled(const CEnvironObj& env, const std::string& recycledFolder,
                            std::string& error) try {
  WaitCursor wait;
  const std::string recycle =
      platform::ResolveStoreName(CreateRecycleCadHomePath(env), IsLockFileName);
  const std::string container = env.GetDirNameFromRelativePath(recycledFolder);
  if (env.IsExist(recycledFolder) <= 0 || env.GetDirNameFromRelativePath(container) != recycle) {
    error = "ごみ箱フォルダの図面ではありません。\n" + recycledFolder;
    return "";
  }
  RecycleFolderLock lock(env, recycle);  // no deletion reorganises the slots meanwhile
  if (!lock.IsHeld()) {
    error = lock.ErrorMessage();
    return "";
  }
  // The container and the drawing are reached by descriptor below the data
  // path: a link swapped in for either is never followed.
  platform::StoreDir recycleDir, containerDir;
  if (platform::StoreDir::OpenBelow(env.GetDataPath(), recycle, recycleDir) != 0 ||
      recycleDir.OpenDir(NameOf(container), containerDir) != 0) {
    error = "ごみ箱フォルダの図面ではありません。\n" + recycledFolder + "\n" +
            ErrorText(platform::LastSystemError());
    return "";
  }
  const std::string placed = lock::ClaimDrawingNumber(
      env, GetSenyouPath(env, GetPathToSenyouId(env, recycledFolder)),
      [&](const std::string& target, std::string&) {
        platform::StoreDir application;
        const int opened = platform::StoreDir::OpenBelow(
            env.GetDataPath(), env.GetDirNameFromRelativePath(target), application);
        if (opened != 0) return opened;
        return containerDir.Rename(NameOf(recycledFolder), application, NameOf(target));
      },
      error);
  // Only when nothing else is left in it.
  if (!placed.empty()) recycleDir.RemoveEmptyDir(NameOf(container));
  return placed;
} catch (const std::bad_alloc&) {
  error = kOutOfMemory + ErrorText(ENOMEM);
  return "";
}

std::string RestoreBackup(const CEnvironObj& env, const std::string& backupFolder,
                          std::string& error) try {
  WaitCursor wait;
  const std::string drawing = env.GetDirNameFromRelativePath(backupFolder);
  if (env.IsExist(backupFolder) <= 0 || drawing.empty()) {
    error = "バックアップフォルダがありません。\n" + backupFolder;
    return "";
  }
  return lock::ClaimDrawingNumber(
      env, GetSenyouPath(env, GetPathToSenyouId(env, drawing)),
      // Copied beside the target first, under a name that no scan takes for a
      // drawing, then renamed into place.
      [&](const std::string& target, std::string&) {
        return CopyIntoPlace(env, backupFolder, target);
      },
      error);
} catch (const std::bad_alloc&) {
  // A copy left half made keeps its draft name "RESTORE.NNN", which no scan
  // takes for a drawing; the next restore to that number removes it.
  error = kOutOfMemory + ErrorText(ENOMEM);
  return "";
}

}  // namespace vexa
