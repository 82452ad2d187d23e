// One drawing by its path, without loading a list.
#include <sys/stat.h>

#include "platform/case_lookup.h"
#include "platform/env.h"
#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"
#include "vexafol/store_name.h"

namespace vexa {
namespace {

// "Fol.NNN" in any ASCII case with N 001 to 999, as the load's name filter
// ("FOL.???") and the lock service take drawing folders.
bool IsDrawingFolderName(const CEnvironObj& env, const std::string& name) {
  const std::string prefix = kDrawingFolderPrefix;
  if (name.size() != prefix.size() + 3 ||
      !platform::EqualsNoCase(name.substr(0, prefix.size()), prefix))
    return false;
  const int number = env.GetExtNumber(name);
  return number >= kFirstDrawingNo && number <= kLastDrawingNo;
}

bool SameFolder(const std::string& a, const std::string& b) {
  platform::Env& os = platform::CurrentEnv();
  struct stat first, second;
  return os.Stat(a, first) == 0 && os.Stat(b, second) == 0 && S_ISDIR(first.st_mode) &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

int ReadFolderMember(const CEnvironObj& env, const std::string& folder, VexaFolderLock* lock,
                     FolMember& record) {
  record = FolMember();
  record.path = folder;
  record.appId = GetPathToSenyouId(env, folder);
  File index;
  if (!index.Open(ResolveStoreName(record.GetIndexFile(env, 0)), File::Mode::ReadOnly)) {
    record.fileState = 1;
    return index.LastError() > 0 ? index.LastError() : ENOENT;
  }
  bool read = false;
  try {
    read = ReadHeadFile(index, record.header);
  } catch (const FileException&) {
  }
  if (!read) {
    record.fileState = 1;
    return -1;
  }
  FileStatus status;
  if (index.GetStatus(status) && status.readOnly) record.fileState = 2;
  if (lock) {
    record.lockState = lock->IsLockZmn(folder.c_str())         ? 1
                       : lock->IsExistLockPage(folder.c_str()) ? 2
                                                               : 0;
  }
  return 0;
}

std::string ListedDrawingFolder(const CEnvironObj& env, const std::string& folder) {
  std::string trimmed = folder;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::string name = env.GetFileNameFromRelativePath(trimmed);
  if (!IsDrawingFolderName(env, name)) return "";
  const std::string appFolder = GetSenyouPath(env, GetPathToSenyouId(env, trimmed));
  if (appFolder.empty()) return "";
  std::string listed = platform::ResolveStoreName(appFolder, IsLockFileName);
  env.AddFileName(listed, name);
  listed = platform::ResolveStoreName(listed, IsLockFileName);
  return SameFolder(listed, platform::ResolveStoreName(trimmed, IsLockFileName)) ? listed : "";
}

}  // namespace vexa
