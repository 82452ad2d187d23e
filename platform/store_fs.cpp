#include "platform/store_fs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/folder_mode.h"
#include "platform/regular_file.h"

namespace vexa::platform {
namespace {

// A drawing tree is a few folders deep; a deeper one is somebody's trap and
// would hold one descriptor per level.
constexpr int kMaxRemovalDepth = 128;

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Opens relative below dirFd as a folder descriptor (O_PATH): -ELOOP when it
// is a link, -ENOTDIR when it is anything else but a folder.
int OpenFolderBeneath(int dirFd, const std::string& relative) {
  Env& env = CurrentEnv();
  const int fd = env.OpenBeneath(dirFd, relative, O_PATH, 0);
  if (fd < 0) return fd;
  struct stat st;
  int rc = env.Fstat(fd, st);
  if (rc == 0 && !S_ISDIR(st.st_mode)) rc = S_ISLNK(st.st_mode) ? -ELOOP : -ENOTDIR;
  if (rc == 0) return fd;
  env.Close(fd);
  SetLastSystemError(-rc);
  return rc;
}

int RemoveTreeIn(int dirFd, const std::string& name, bool isDir, int depth) {
  Env& env = CurrentEnv();
  if (!isDir) {
    const int unlinked = env.UnlinkAt(dirFd, name, 0);
    if (unlinked != -EISDIR && unlinked != -EPERM) return unlinked;
    // A folder now stands under the name: remove it as one.
  }
  if (depth >= kMaxRemovalDepth) return -ELOOP;
  const int sub = OpenFolderBeneath(dirFd, name);
  if (sub == -ELOOP || sub == -ENOTDIR) return env.UnlinkAt(dirFd, name, 0);  // swapped meanwhile
  if (sub < 0) return sub;
  std::vector<DirEntry> entries;
  int rc = env.ListDirAt(sub, entries);
  for (const DirEntry& entry : entries) {
    if (rc != 0) break;
    rc = RemoveTreeIn(sub, entry.name, entry.isDir, depth + 1);
    if (rc == -ENOENT) rc = 0;  // somebody else removed it meanwhile
  }
  env.Close(sub);
  return rc != 0 ? rc : env.UnlinkAt(dirFd, name, AT_REMOVEDIR);
}

}  // namespace

StoreDir::~StoreDir() {
  if (fd_ >= 0) CurrentEnv().Close(fd_);
}

StoreDir::StoreDir(StoreDir&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

StoreDir& StoreDir::operator=(StoreDir&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) CurrentEnv().Close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

int StoreDir::OpenBelow(const std::string& store, const std::string& path, StoreDir& out) {
  const std::string top = Trimmed(store);
  const std::string wanted = Trimmed(path);
  std::string relative;
  if (wanted != top) {
    const std::string prefix = top == "/" ? top : top + "/";
    if (top.empty() || wanted.compare(0, prefix.size(), prefix) != 0) {
      SetLastSystemError(EXDEV);
      return -EXDEV;
    }
    relative = wanted.substr(prefix.size());
  }
  Env& env = CurrentEnv();
  const int root = env.Open(top, O_PATH | O_DIRECTORY, 0);  // the host's path: links followed
  if (root < 0) return root;
  StoreDir opened;
  opened.fd_ = root;
  opened.path_ = top;
  if (relative.empty()) {
    out = std::move(opened);
    return 0;
  }
  return opened.OpenDir(relative, out);
}

int StoreDir::OpenDir(const std::string& relative, StoreDir& out) const {
  const int fd = OpenFolderBeneath(fd_, relative);
  if (fd < 0) return fd;
  StoreDir opened;
  opened.fd_ = fd;
  opened.path_ = path_ == "/" ? "/" + relative : path_ + "/" + relative;
  out = std::move(opened);
  return 0;
}

int StoreDir::Stat(const std::string& name, struct stat& st) const {
  return CurrentEnv().StatAt(fd_, name, st);
}

int StoreDir::List(std::vector<DirEntry>& entries) const {
  return CurrentEnv().ListDirAt(fd_, entries);
}

int StoreDir::MakeDir(const std::string& name) const {
  Env& env = CurrentEnv();
  struct stat self;
  if (const int rc = env.StatAt(fd_, "", self)) return rc;
  // A public folder (sticky bit, /tmp) is nobody's store: the umask decides.
  if (self.st_mode & S_ISVTX) return env.MakeDirAt(fd_, name, 0777);
  const mode_t mode = FolderModeIn(self.st_mode);
  // Made in place, the folder would show the umask's narrower mode for a
  // moment, and a folder made inside it then would copy that mode for good.
  const std::string draft = DraftNameFor(name);
  if (const int made = env.MakeDirAt(fd_, draft, mode & 0777)) return made;
  const int sub = env.OpenBeneath(fd_, draft, O_RDONLY | O_DIRECTORY, 0);
  if (sub >= 0) {
    env.Fchmod(sub, mode);  // best effort: some file systems keep fixed modes
    env.Close(sub);
  }
  const int renamed = env.RenameAt(fd_, draft, fd_, name);
  if (renamed != 0) env.UnlinkAt(fd_, draft, AT_REMOVEDIR);
  return renamed == -ENOTEMPTY ? -EEXIST : renamed;
}

int StoreDir::CreateFile(const std::string& name) const {
  Env& env = CurrentEnv();
  struct stat self;
  if (const int rc = env.StatAt(fd_, "", self)) return rc;
  // In a public folder (sticky bit, /tmp) the umask decides.
  if (self.st_mode & S_ISVTX) return CreateFile(name, 0666, 0);
  return CreateFile(name, FileModeIn(self.st_mode), 0777);
}

int StoreDir::CreateFile(const std::string& name, mode_t mode, mode_t umask) const {
  Env& env = CurrentEnv();
  const int fd = env.OpenBeneath(fd_, name, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, mode);
  if (fd >= 0 && (mode & umask) != 0) env.Fchmod(fd, mode);  // the umask narrowed it
  return fd;
}

int StoreDir::OpenFile(const std::string& name) const {
  const int fd = CurrentEnv().OpenBeneath(fd_, name, O_RDONLY | O_NONBLOCK | O_NOCTTY, 0);
  return fd < 0 ? fd : KeepRegularFile(fd, false);
}

int StoreDir::Rename(const std::string& name, const StoreDir& to, const std::string& toName) const {
  return CurrentEnv().RenameAt(fd_, name, to.fd_, toName);
}

int StoreDir::RemoveFile(const std::string& name) const {
  return CurrentEnv().UnlinkAt(fd_, name, 0);
}

int StoreDir::RemoveEmptyDir(const std::string& name) const {
  return CurrentEnv().UnlinkAt(fd_, name, AT_REMOVEDIR);
}

int StoreDir::RemoveTree(const std::string& name) const {
  struct stat st;
  if (const int rc = Stat(name, st)) return rc;
  return RemoveTreeIn(fd_, name, S_ISDIR(st.st_mode), 0);
}

int StoreDir::ChangeMode(const std::string& name, const struct stat& expected, mode_t mode,
                         gid_t group) const {
  Env& env = CurrentEnv();
  const int fd = env.OpenBeneath(fd_, name.empty() ? "." : name, O_PATH, 0);
  if (fd < 0) return fd;
  struct stat st;
  int rc = env.Fstat(fd, st);
  if (rc == 0 && S_ISLNK(st.st_mode)) rc = -ELOOP;
  if (rc == 0 && !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) rc = -ENXIO;
  if (rc == 0 && (st.st_dev != expected.st_dev || st.st_ino != expected.st_ino)) rc = -ESTALE;
  if (rc == 0 && group != static_cast<gid_t>(-1)) rc = env.ChangeGroupOf(fd, group);
  if (rc == 0) rc = env.ChangeModeOf(fd, mode);
  env.Close(fd);
  if (rc < 0) SetLastSystemError(-rc);
  return rc;
}

int RemoveTreeAt(const std::string& path) {
  const std::string trimmed = Trimmed(path);
  const size_t slash = trimmed.rfind('/');
  const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return -EINVAL;
  StoreDir folder;
  if (const int rc = StoreDir::OpenBelow(FolderOf(trimmed), FolderOf(trimmed), folder)) return rc;
  return folder.RemoveTree(name);
}

}  // namespace vexa::platform
