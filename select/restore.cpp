// Bringing a chosen recycled or backup folder back as a drawing. The new
// folder appears with one rename, so a reader sees either no drawing under
// the new number or the whole of it.
#include "vexafol/restore.h"

#include <cerrno>
#include <functional>
#include <vector>

#include "lock/recycle_lock.h"
#include "platform/case_lookup.h"
#include "platform/env.h"
#include "platform/sysinfo.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/hooks.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kAttempts = 3;

std::string ErrorText(int error) {
  return platform::SystemErrorText(static_cast<unsigned long>(error));
}

// Chooses a free number in the application folder of appId, locks it and lets
// place put the drawing there (0, or -errno). A number taken by somebody else
// in the meantime (-EEXIST) is chosen again.
std::string PlaceUnderFreeNumber(const CEnvironObj& env, int appId,
                                 const std::function<int(const std::string&)>& place,
                                 std::string& error) {
  const std::string appFolder = GetSenyouPath(env, appId);
  if (appFolder.empty() || !env.CreateDir(appFolder, 1)) {
    error = "the application folder cannot be made " + ErrorText(platform::LastSystemError());
    return "";
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string target;
    if (!CreateFolderName(env, appFolder.c_str(), &target)) {
      error = "no free drawing number in " + appFolder;
      return "";
    }
    VexaFolderLock lock(&env);
    if (!lock.LockZmn(target.c_str())) continue;  // somebody takes this number now
    const int placed = place(target);
    if (placed == 0) return target;
    if (placed != -EEXIST) {
      error = "the drawing cannot be placed at " + target + " " + ErrorText(-placed);
      return "";
    }
  }
  error = "every free number was taken meanwhile in " + appFolder;
  return "";
}

// Copies the regular files of from into the new folder to (made here).
int CopyFiles(const std::string& from, const std::string& to) {
  platform::Env& os = platform::CurrentEnv();
  std::vector<platform::DirEntry> entries;
  if (const int listed = os.ListDir(from, entries)) return listed;
  if (const int made = os.MakeDir(to, 0777)) return made;
  std::vector<char> buffer(1 << 16);
  for (const platform::DirEntry& entry : entries) {
    if (entry.isDir) continue;  // a backup holds only the drawing's files
    const int in = os.Open(from + "/" + entry.name, O_RDONLY, 0);
    if (in < 0) return in;
    const int out = os.Open(to + "/" + entry.name, O_WRONLY | O_CREAT | O_EXCL, 0666);
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
    os.Close(out);
    if (result != 0) return result;
  }
  return 0;
}

}  // namespace

std::string RestoreRecycled(const CEnvironObj& env, const std::string& recycledFolder,
                            std::string& error) {
  WaitCursor wait;
  const std::string recycle = platform::ResolveStoreName(CreateRecycleCadHomePath(env));
  const std::string container = env.GetDirNameFromRelativePath(recycledFolder);
  if (env.IsExist(recycledFolder) <= 0 || env.GetDirNameFromRelativePath(container) != recycle) {
    error = recycledFolder + ": not a drawing in the recycle folder";
    return "";
  }
  RecycleFolderLock lock(env, recycle);  // no deletion reorganises the slots meanwhile
  if (!lock.IsHeld()) {
    error = lock.ErrorMessage();
    return "";
  }
  const std::string placed = PlaceUnderFreeNumber(
      env, GetPathToSenyouId(env, recycledFolder),
      [&](const std::string& target) {
        return platform::CurrentEnv().RenameNoReplace(recycledFolder, target);
      },
      error);
  if (!placed.empty()) env.RemoveDir(container, 0);  // only when nothing else is left in it
  return placed;
}

std::string RestoreBackup(const CEnvironObj& env, const std::string& backupFolder,
                          std::string& error) {
  WaitCursor wait;
  const std::string drawing = env.GetDirNameFromRelativePath(backupFolder);
  if (env.IsExist(backupFolder) <= 0 || drawing.empty()) {
    error = backupFolder + ": no such backup folder";
    return "";
  }
  return PlaceUnderFreeNumber(
      env, GetPathToSenyouId(env, drawing),
      [&](const std::string& target) {
        // Copied beside the target first, under a name that no scan takes for
        // a drawing, then renamed into place.
        std::string copy = env.GetDirNameFromRelativePath(target);
        env.AddFileName(copy, "RESTORE" + env.GetExtNameFromFileName(target));
        env.RemoveDir(copy, 1);  // left over by a copy that was cut short
        int result = CopyFiles(backupFolder, copy);
        if (result == 0) result = platform::CurrentEnv().RenameNoReplace(copy, target);
        if (result != 0) env.RemoveDir(copy, 1);
        return result;
      },
      error);
}

}  // namespace vexa
