#include "platform/folder_mode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <vector>

#include "platform/env.h"
#include "platform/regular_file.h"
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

// Makes path with mode, which the umask may narrow, and gives it mode
// through a descriptor of the folder itself: a link put in its place is never
// followed, so no other file's mode can be changed by this.
int MakeFolderWithMode(const std::string& path, mode_t mode) {
  Env& env = CurrentEnv();
  const int made = env.MakeDir(path, mode & kReadWriteSearch);
  if (made != 0) return made;
  const int fd = env.Open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0);
  if (fd < 0) return 0;  // the folder exists; its mode stays the umask's
  env.Fchmod(fd, mode);
  env.Close(fd);
  return 0;
}

constexpr char kDraftPrefix[] = ".vexafol-new.";

// A name beside path that no other process or call uses:
// ".vexafol-new.PID.N.NAME", NAME being path's own name where it fits in a
// folder entry, so that what is made can be told (and a test can fail it) by
// the name it is going to have.
std::string DraftName(const std::string& path) {
  static std::atomic<unsigned> serial{0};
  std::string draft =
      kDraftPrefix + std::to_string(getpid()) + "." + std::to_string(serial.fetch_add(1));
  const std::string name = path.substr(path.find_last_of('/') + 1);
  if (draft.size() + 1 + name.size() <= NAME_MAX) draft += "." + name;
  return FolderOf(path) + "/" + draft;
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

mode_t FileModeIn(mode_t folderMode) {
  return folderMode & kReadWrite;
}

mode_t FolderModeIn(mode_t folderMode) {
  return folderMode & (kReadWriteSearch | S_ISGID);
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
  Env& env = CurrentEnv();
  mode_t parent = 0;
  if (!FolderModeOf(path, parent)) return env.MakeDir(path, kReadWriteSearch);
  const mode_t mode = FolderModeIn(parent);
  // The folder appears under its name only with its final mode: made under a
  // name of its own, given the mode, then renamed without replacing anything.
  // Made in place, it would show the umask's narrower mode for a moment, and
  // a process of the same user that makes a folder inside it in that moment
  // would copy the narrow mode for good.
  const std::string draft = DraftName(path);
  const int made = MakeFolderWithMode(draft, mode);
  if (made != 0) return made;
  const int renamed = env.RenameNoReplace(draft, path);
  if (renamed == 0) return 0;
  env.RemoveDir(draft);
  if (renamed == -EINVAL || renamed == -ENOSYS) return MakeFolderWithMode(path, mode);  // NFS
  return renamed == -ENOTEMPTY ? -EEXIST : renamed;
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
