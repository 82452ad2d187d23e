#include "platform/folder_mode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/env.h"
#include "platform/regular_file.h"
#include "platform/store_fs.h"
#include "vexafol/folder_mode.h"

namespace vexa::platform {
namespace {

constexpr mode_t kReadWrite = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
constexpr mode_t kReadWriteSearch = S_IRWXU | S_IRWXG | S_IRWXO;

// Another process may remove a file between our failed create and our open of
// it, or create it between our failed open and our create; each round of that
// race ends for good in a few attempts.
constexpr int kCreateAttempts = 16;

// Mode of the folder that holds path, or false when it cannot be read or is a
// public folder such as /tmp (sticky bit): what is made there is nobody's
// store, and the umask decides as usual.
bool FolderModeOf(const std::string& path, mode_t& mode) {
  struct stat folder;
  if (CurrentEnv().Stat(FolderOf(path), folder) != 0 || (folder.st_mode & S_ISVTX)) return false;
  mode = folder.st_mode;
  return true;
}

constexpr char kDraftPrefix[] = ".vexafol-new.";

// A draft beside path (DraftNameFor).
std::string DraftName(const std::string& path) {
  return FolderOf(path) + "/" + DraftNameFor(path.substr(path.find_last_of('/') + 1));
}

// Creates path exclusively with at most mode (the umask may narrow it) and
// then gives it mode; a failing fchmod leaves the narrower mode, never more.
int CreateInPlace(const std::string& path, int flags, mode_t mode) {
  const int fd = OpenRegularFile(path, flags | O_EXCL, mode, LinkPolicy::Refuse);
  if (fd >= 0) CurrentEnv().Fchmod(fd, mode);  // best effort: some file systems keep fixed modes
  return fd;
}

// CreateWithMode's answer where the file system has no hard links (vfat).
constexpr int kCannotLink = -EPERM;

// Creates path so that it appears with its final mode: made under a draft name,
// given the mode, then linked to its name (which fails when the name exists)
// and the draft name removed. A file made in place would show the umask's
// narrower mode for a moment, and another user opening it for writing then
// would be refused. Returns 0 when path was made (the caller opens it by its
// name, so that its descriptor names it), -EEXIST, kCannotLink or -errno.
int CreateWithMode(const std::string& path, int flags, mode_t mode) {
  Env& env = CurrentEnv();
  const std::string draft = DraftName(path);
  const int fd = CreateInPlace(draft, flags & ~O_TRUNC, mode);
  if (fd < 0) return fd;
  env.Close(fd);
  const int linked = env.Link(draft, path);
  env.Unlink(draft);
  if (linked == -EPERM || linked == -EOPNOTSUPP || linked == -ENOSYS) return kCannotLink;
  return linked;
}

}  // namespace

std::string DraftNameFor(const std::string& name) {
  static std::atomic<unsigned> serial{0};
  std::string draft =
      kDraftPrefix + std::to_string(getpid()) + "." + std::to_string(serial.fetch_add(1));
  if (draft.size() + 1 + name.size() <= NAME_MAX) draft += "." + name;
  return draft;
}

mode_t FileModeIn(mode_t folderMode) {
  return folderMode & kReadWrite;
}

mode_t FolderModeIn(mode_t folderMode) {
  return folderMode & (kReadWriteSearch | S_ISGID);
}

mode_t CurrentUmask() {
  const std::string status = CurrentEnv().ReadSystemFile("/proc/self/status");
  const size_t at = status.find("\nUmask:");
  if (at == std::string::npos) return 0777;
  char* end = nullptr;
  const unsigned long mask = std::strtoul(status.c_str() + at + 7, &end, 8);
  return end == status.c_str() + at + 7 ? 0777 : static_cast<mode_t>(mask & 0777);
}

std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  const size_t slash = path.rfind('/', end - 1);
  if (slash == std::string::npos) return ".";
  size_t stop = slash;
  while (stop > 0 && path[stop - 1] == '/') --stop;
  return stop == 0 ? "/" : path.substr(0, stop);
}

int OpenCreatingInFolderMode(const std::string& path, int flags) {
  if (!(flags & O_CREAT)) return OpenRegularFile(path, flags, 0, LinkPolicy::Refuse);
  int fd = -ENOENT;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    fd = OpenRegularFile(path, flags & ~(O_CREAT | O_EXCL), 0, LinkPolicy::Refuse);
    if (fd != -ENOENT) return fd;
    mode_t folder = 0;
    if (!FolderModeOf(path, folder)) {
      fd = OpenRegularFile(path, flags | O_EXCL, kReadWrite, LinkPolicy::Refuse);
    } else if (const int made = CreateWithMode(path, flags, FileModeIn(folder));
               made == 0 || made == -EEXIST) {
      continue;  // open what is there now by its name
    } else {
      fd = made == kCannotLink ? CreateInPlace(path, flags, FileModeIn(folder)) : made;
    }
    if (fd != -EEXIST) return fd;
  }
  return fd;
}

bool RemoveDraftNamesOf(const std::string& path, const struct stat& file) {
  Env& env = CurrentEnv();
  const std::string folder = FolderOf(path);
  std::vector<DirEntry> entries;
  if (env.ListDir(folder, entries) != 0) return false;
  bool removed = false;
  for (const DirEntry& entry : entries) {
    if (entry.name.rfind(kDraftPrefix, 0) != 0) continue;
    const std::string draft = folder + "/" + entry.name;
    struct stat st;
    if (env.Lstat(draft, st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino)
      removed = env.Unlink(draft) == 0 || removed;
  }
  return removed;
}

int MakeFolderInFolderMode(const std::string& path) {
  const std::string folder = FolderOf(path);
  StoreDir parent;
  if (const int opened = StoreDir::OpenBelow(folder, folder, parent)) return opened;
  return parent.MakeDir(path.substr(path.find_last_of('/') + 1));
}

bool GiveNewFileMode(int fd, const std::string& target) {
  mode_t folder = 0;
  return FolderModeOf(target, folder) && CurrentEnv().Fchmod(fd, FileModeIn(folder)) == 0;
}

}  // namespace vexa::platform

namespace vexa {

int MakeStoreFolder(const std::string& path) {
  return platform::MakeFolderInFolderMode(path);
}

}  // namespace vexa
