// The drawing folder record and the naming functions of the store.
#include "vexafol/folmember.h"

#include <climits>

#include "platform/collate.h"
#include "store/number_choice.h"
#include "store/store_names.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/filetime.h"
#include "vexafol/store_layout.h"

namespace vexa {

namespace {

constexpr int kHeaderVersion = 2;

bool IsBackupName(const CEnvironObj& env, const std::string& name) {
  return platform::CollateNoCase(name, kBackupName) == 0 ||
         platform::CollateNoCase(env.GetBaseNameFromFileName(name), kBackupName) == 0;
}

void ToLocalSystemTime(const FILETIME& utc, SYSTEMTIME& out) {
  FILETIME local;
  if (!FileTimeToLocalFileTime(utc, local)) return;
  FileTimeToSystemTime(local, out);
}

}  // namespace

FolMember::FolMember() {
  header.version = kHeaderVersion;
}

int FolMember::GetFolderNo(const CEnvironObj& env) const {
  std::string name = env.GetFileNameFromRelativePath(path);
  if (IsBackupName(env, name)) {
    name = env.GetFileNameFromRelativePath(env.GetDirNameFromRelativePath(path));
  }
  const int number = DrawingNumberOf(env, name);
  return number == INT_MIN ? INT_MIN : number - 1;
}

int FolMember::GetDrawingNo(const CEnvironObj& env) const {
  return GetFolderNo(env) + 1;
}

std::string FolMember::GetPath(const CEnvironObj& env, int backup) const {
  std::string result = path;
  if (backup) env.AddFileName(result, kBackupName);
  return result;
}

std::string FolMember::GetIndexFile(const CEnvironObj& env, int backup) const {
  std::string result = GetPath(env, backup);
  CreateIndexFileName(env, result);
  return result;
}

std::string FolMember::GetPageFile(const CEnvironObj& env, int backup, int page) const {
  std::string result = GetIndexFile(env, backup);
  CreatePageName(env, result, page);
  return result;
}

std::string FolMember::GetPageBmpFile(const CEnvironObj& env, int backup, int page) const {
  std::string result = GetIndexFile(env, backup);
  CreatePageBmpName(env, result, page);
  return result;
}

void FolMember::GetCreateSysTime(SYSTEMTIME& out) const {
  ToLocalSystemTime(header.createTime, out);
}

void FolMember::GetUpdateSysTime(SYSTEMTIME& out) const {
  ToLocalSystemTime(header.updateTime, out);
}

std::string FolMember::GetDateString(const SYSTEMTIME& time) {
  return FormatShortDate(time);
}

std::string FolMember::GetTimeString(const SYSTEMTIME& time) {
  return FormatTime(time);
}

int DrawingNumberOf(const CEnvironObj& env, const std::string& folderPath) {
  const std::string ext = env.GetExtNameFromFileName(env.GetFileNameFromRelativePath(folderPath));
  return ext.size() > 1 ? store::LeadingInt(ext.substr(1)) : 0;
}

void CreateIndexFileName(const CEnvironObj& env, std::string& path) {
  env.AddFileName(path, kIndexFileName);
}

void CreatePageName(const CEnvironObj& env, std::string& path, int page) {
  path = env.GetPathNameFromRelativePath(path);
  env.AddFileName(path, store::PageFileName(page));
}

void CreatePageBmpName(const CEnvironObj& env, std::string& path, int page) {
  path = env.GetPathNameFromRelativePath(path);
  env.AddFileName(path, store::PageBmpName(page));
}

void CreateBackupPath(const CEnvironObj& env, std::string& path, int number) {
  env.AddFileName(path, store::BackupName(number));
}

void CreateDrawingFolderPath(const CEnvironObj& env, std::string& path, int number) {
  env.AddFileName(path, store::FolderName(number));
}

int CreateFolderName(const CEnvironObj& env, const char* base, std::string* out) {
  const std::string baseDir = base ? base : "";
  auto candidate = [&](int number) {
    std::string folder = baseDir;
    env.AddFileName(folder, store::FolderName(number));
    return folder;
  };
  const int chosen =
      store::ChooseDrawingNumber([&](int number) { return env.IsExist(candidate(number)) >= 0; });
  if (out) *out = chosen ? candidate(chosen) : std::string();
  return chosen ? 1 : 0;
}

std::string CreateRecycleCadHomePath(const CEnvironObj& env) {
  std::string path = env.GetDataPath();
  if (path.empty()) path = env.GetHomePath(kPathHome);
  if (!path.empty()) env.AddFileName(path, kRecycleName);
  return path;
}

}  // namespace vexa
