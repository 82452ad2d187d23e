#include "folderlist/folderlist_scan.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <set>

#include "folderlist/record_maker.h"
#include "host/wildcard.h"
#include "lock/lock_survey.h"
#include "platform/case_lookup.h"
#include "platform/collate.h"
#include "platform/env.h"
#include "vexafol/folderlock.h"
#include "vexafol/sel_file_list.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa::folder_list {
namespace {

constexpr size_t kHeaderSize = sizeof(VexaFileHeader);

const char kDrawingFilter[] = "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.???";
const char kDrawingAndPageLockFilter[] = "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.???;FOL???.LOC";
const char kRecycledDrawingFilter[] = "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.*";
const char kBackupFilter[] = "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|BKUP.*";
const char kEveryEntryFilter[] = "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|.*";

// The folder as it exists on disk: its own spelling, or the one that differs
// only in ASCII case (each missing component's parent is read once). False when
// there is no such directory.
bool ResolveFolder(std::string& folder) {
  struct stat st;
  std::string resolved;
  if (platform::StatStoreName(folder, IsLockFileName, st, &resolved) != 0 || !S_ISDIR(st.st_mode))
    return false;
  folder = resolved;
  return true;
}

int OpenForHeader(const std::string& path) {
  // Never through a link, and never blocking (a FIFO opens at once). What it
  // opened is a regular file when the positional read below succeeds: a
  // folder, FIFO or socket refuses it, so the type needs no request of its own.
  return platform::CurrentEnv().Open(path,
                                     O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0);
}

// min(length, 824) bytes of an open index file into header; false on any error
// or when fewer bytes come. A first read that brings all 824 bytes settles it;
// only a short one asks for the file's status (its length, and its type: a
// device reads like a file).
bool ReadHeaderFrom(int fd, VexaFileHeader& header) {
  platform::Env& os = platform::CurrentEnv();
  char buffer[kHeaderSize];
  ssize_t first;
  while ((first = os.PRead(fd, buffer, kHeaderSize, 0)) == -EINTR) {
  }
  if (first < 0) return false;
  size_t got = static_cast<size_t>(first);
  if (got < kHeaderSize) {
    struct stat st;
    if (os.Fstat(fd, st) != 0 || !S_ISREG(st.st_mode)) return false;
    const size_t wanted = std::min(static_cast<size_t>(st.st_size), kHeaderSize);
    while (got < wanted) {
      const ssize_t n = os.PRead(fd, buffer + got, wanted - got, static_cast<off_t>(got));
      if (n == -EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    if (got != wanted) return false;
  }
  std::copy(buffer, buffer + got, reinterpret_cast<char*>(&header));
  return true;
}

// Keeps the display string of each listed folder: its full path.
int KeepFullPath(const CEnvironObj&, std::string& display, const std::string& path, void*) {
  display = path;
  return 1;
}

}  // namespace

HeaderRead ReadHeaderAt(const std::string& path, VexaFileHeader& header) {
  // The plain open/read/close of the file, three requests on a share: an index
  // file is only read, so the in-use mark and identity checks of vexa::File
  // would cost five more per drawing without changing what is read.
  const int fd = OpenForHeader(path);
  if (fd == -ENOENT) return HeaderRead::Missing;
  if (fd < 0) return HeaderRead::Failed;
  const bool read = ReadHeaderFrom(fd, header);
  platform::CurrentEnv().Close(fd);
  return read ? HeaderRead::Read : HeaderRead::Failed;
}

namespace {

std::string IndexPathOf(const CEnvironObj& env, const std::string& folder) {
  std::string path = folder;
  CreateIndexFileName(env, path);
  return path;
}

}  // namespace

bool ReadIndexHeaderInAnyCase(const CEnvironObj& env, const std::string& folder,
                              VexaFileHeader& header) {
  // A store copied from Windows may spell the index name in any case.
  const std::string name =
      platform::FindEntryNoCase(folder, env.GetFileNameFromRelativePath(IndexPathOf(env, folder)));
  if (name.empty()) return false;
  std::string path = folder;
  env.AddFileName(path, name);
  return ReadHeaderAt(path, header) == HeaderRead::Read;
}

bool ReadIndexHeader(const CEnvironObj& env, const std::string& folder, VexaFileHeader& header) {
  const HeaderRead read = ReadHeaderAt(IndexPathOf(env, folder), header);
  if (read != HeaderRead::Missing) return read == HeaderRead::Read;
  return ReadIndexHeaderInAnyCase(env, folder, header);
}

std::string RecycleEntryHome(const CEnvironObj& env, const std::string& recycleFolder,
                             std::string entryName) {
  std::string home = env.GetDirNameFromRelativePath(recycleFolder);
  for (int k = 0; k < 3; ++k) {
    const size_t open = entryName.find('[');
    const size_t close = entryName.find(']');
    if (open == std::string::npos || close == std::string::npos) continue;
    // A "]" before the "[" gives an empty token.
    const std::string token = close > open ? entryName.substr(open + 1, close - open - 1) : "";
    if (k == 2) {
      env.AddFileName(home, "CAD");
      if (platform::EqualsNoCase(token, "JDN") || platform::EqualsNoCase(token, "ODN"))
        env.AddFileName(home, "JDN");
      else if (platform::EqualsNoCase(token, "TNK"))
        env.AddFileName(home, "CVL");
    }
    env.AddFileName(home, token);
    entryName.erase(0, close + 1);
  }
  return home;
}

void ScanAppFolder(const CEnvironObj& env, const std::string& appFolder, int appId,
                   VexaFolderLock* lock, RecordMaker& maker) {
  std::string folder = appFolder;
  if (folder.empty() || !ResolveFolder(folder)) return;
  // One listing gives the drawing folders and the page lock files beside them.
  CSelFileList list;
  list.AddFileList(env, folder, lock ? kDrawingAndPageLockFilter : kDrawingFilter, nullptr, 0,
                   nullptr, nullptr);
  static const std::vector<std::string> drawingPattern = host::FilterPatterns(kDrawingFilter);
  std::vector<std::string> drawings;
  std::set<std::string> pageLockNames;
  drawings.reserve(list.GetCnt());
  for (int i = 0; i < list.GetCnt(); ++i) {
    std::string name = list.GetFileName(i);
    if (!host::FilterAdmits(drawingPattern, name)) {
      pageLockNames.insert(std::move(name));
      continue;
    }
    if (platform::CollateNoCase(std::string_view(name).substr(0, 3), "FOL") != 0) continue;
    std::string path = folder;
    env.AddFileName(path, name);
    drawings.push_back(std::move(path));
  }
  if (!lock) return maker.Add(drawings, appId, nullptr);
  maker.Add(drawings, appId,
            std::make_unique<lock::LockSurvey>(*lock, folder, std::move(pageLockNames)));
}

void ScanRecycle(const CEnvironObj& env, int appId, RecordMaker& maker) {
  std::string recycle = CreateRecycleCadHomePath(env);
  const std::string appFolder = GetSenyouPath(env, appId);
  if (recycle.empty() || appFolder.empty() || !ResolveFolder(recycle)) return;
  CSelFileList containers;
  containers.AddFileList(env, recycle, "", nullptr, 0, nullptr, nullptr);
  CSelFileList drawings;
  for (int i = 0; i < containers.GetCnt(); ++i) {
    const std::string name = containers.GetFileName(i);
    if (!platform::EqualsNoCase(RecycleEntryHome(env, recycle, name), appFolder)) continue;
    std::string container = recycle;
    env.AddFileName(container, name);
    drawings.AddFileList(env, container, kRecycledDrawingFilter, nullptr, 0, KeepFullPath, nullptr);
  }
  std::vector<std::string> folders;
  for (int i = 0; i < drawings.GetCnt(); ++i) folders.push_back(drawings.GetDispStr(i));
  maker.Add(folders, appId, nullptr);
}

void ScanBackups(const CEnvironObj& env, const std::string& loadPath, int appId,
                 RecordMaker& maker) {
  std::string folder = loadPath;
  if (folder.empty() || !ResolveFolder(folder)) return;
  CSelFileList list;
  list.AddFileList(env, folder, kBackupFilter, nullptr, 0, nullptr, nullptr);
  std::vector<std::string> folders;
  for (int i = 0; i < list.GetCnt(); ++i) {
    std::string path = folder;
    env.AddFileName(path, list.GetFileName(i));
    folders.push_back(std::move(path));
  }
  maker.Add(folders, appId, nullptr);
}

int CountDrawingFolders(const CEnvironObj& env, const std::string& appFolder, bool stopAtFirst) {
  if (env.IsExist(appFolder) <= 0) return 0;
  CSelFileList list;
  list.AddFileList(env, appFolder, kEveryEntryFilter, nullptr, 0, nullptr, nullptr);
  int count = 0;
  for (int i = 0; i < list.GetCnt(); ++i) {
    std::string index = appFolder;
    env.AddFileName(index, list.GetFileName(i));
    CreateIndexFileName(env, index);
    if (env.IsExist(index) != 0) continue;
    ++count;
    if (stopAtFirst) break;
  }
  return count;
}

}  // namespace vexa::folder_list
