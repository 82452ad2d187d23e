// A passthrough file system that makes every request wait, as a network share
// does: delay_fuse SOURCE MOUNTPOINT MICROSECONDS [-f] [-d] [-s]. No caching of
// names, attributes or data: every lookup, open, read and lock is a request.
// For the folder-list benchmark and the lock check (bench/fuse_lock_check.sh;
// libfuse3, run as root with /dev/fuse); not part of the library.
//
// Written against the low-level API because the high-level one keeps a lock
// list of its own: it answers a lock test from that list before asking the
// file system (a lock whose open was closed stays there), and it unlocks all
// locks of an open on every flush (a forked child that exits drops its
// parent's locks). Here every lock request reaches the source:
// - the locks of one lock owner on one file are held by a source descriptor of
//   that owner, as open file description locks. An open file description lock
//   on the mount has its open as owner, a process-associated lock the process,
//   so both kinds keep their owners apart on the source;
// - a flush drops the locks of the flushing owner only (the close semantics of
//   process-associated locks), the release of an open drops those taken
//   through it (the last close of an open file description).
// The kernel sends a release after the close that caused it has returned; it
// is handled before the delay, so requests sent after it see its locks gone.
#define FUSE_USE_VERSION 312
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse_lowlevel.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

timespec g_delay{};

void Wait() {
  nanosleep(&g_delay, nullptr);
}

// A source file or directory the kernel knows, held by an O_PATH descriptor
// so that it keeps its identity while the kernel remembers it.
struct Node {
  int fd = -1;
  std::pair<dev_t, ino_t> id;
  uint64_t lookups = 0;
};

// One open of the mount and the lock owners that locked through it.
struct Open {
  int fd = -1;
  Node* node = nullptr;
  std::set<uint64_t> owners;
};

struct Directory {
  std::vector<std::pair<std::string, struct stat>> entries;
};

std::mutex g_mutex;  // guards the tables below
Node g_root;
std::map<std::pair<dev_t, ino_t>, std::unique_ptr<Node>> g_nodes;
std::map<std::pair<Node*, uint64_t>, int> g_lockFds;  // (file, lock owner) -> descriptor

Node& NodeOf(fuse_ino_t ino) {
  return ino == FUSE_ROOT_ID ? g_root : *reinterpret_cast<Node*>(ino);
}

Open& OpenOf(const fuse_file_info* fi) {
  return *reinterpret_cast<Open*>(fi->fh);
}

std::string ProcPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

int StatOf(int fd, struct stat& st) {
  return fstatat(fd, "", &st, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) < 0 ? errno : 0;
}

// Finds name in parent and counts one more lookup of it by the kernel.
int LookUp(Node& parent, const char* name, fuse_entry_param& entry) {
  const int fd = openat(parent.fd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno;
  entry = {};
  if (const int error = StatOf(fd, entry.attr)) {
    close(fd);
    return error;
  }
  const std::lock_guard guard(g_mutex);
  std::unique_ptr<Node>& node = g_nodes[{entry.attr.st_dev, entry.attr.st_ino}];
  if (node) {
    close(fd);
  } else {
    node = std::make_unique<Node>();
    node->fd = fd;
    node->id = {entry.attr.st_dev, entry.attr.st_ino};
  }
  ++node->lookups;
  entry.ino = reinterpret_cast<fuse_ino_t>(node.get());
  return 0;
}

void ReplyEntry(fuse_req_t req, Node& parent, const char* name) {
  fuse_entry_param entry;
  if (const int error = LookUp(parent, name, entry)) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_entry(req, &entry);
}

// A new name belongs to the caller, as on a share, not to this daemon.
void ReplyCreated(fuse_req_t req, int rc, fuse_ino_t parent, const char* name) {
  if (rc < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  const fuse_ctx* caller = fuse_req_ctx(req);
  fchownat(NodeOf(parent).fd, name, caller->uid, caller->gid, AT_SYMLINK_NOFOLLOW);
  ReplyEntry(req, NodeOf(parent), name);
}

void Forget(fuse_ino_t ino, uint64_t count) {
  const std::lock_guard guard(g_mutex);
  Node& node = NodeOf(ino);
  if (&node == &g_root || (node.lookups -= count) > 0) return;
  close(node.fd);
  g_nodes.erase(node.id);
}

// The descriptor that holds owner's locks on the file of an open; a new one is
// opened when create is set, -1 otherwise.
int LockFd(Open& open, uint64_t owner, bool create) {
  const std::lock_guard guard(g_mutex);
  const auto key = std::make_pair(open.node, owner);
  if (const auto found = g_lockFds.find(key); found != g_lockFds.end()) return found->second;
  if (!create) return -1;
  const std::string path = ProcPath(open.fd);
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) fd = ::open(path.c_str(), (fcntl(open.fd, F_GETFL) & O_ACCMODE) | O_CLOEXEC);
  if (fd < 0) return -1;
  g_lockFds.emplace(key, fd);
  open.owners.insert(owner);
  return fd;
}

void DropLocks(Node* node, uint64_t owner) {
  const std::lock_guard guard(g_mutex);
  const auto found = g_lockFds.find({node, owner});
  if (found == g_lockFds.end()) return;
  close(found->second);
  g_lockFds.erase(found);
}

void Init(void*, fuse_conn_info* conn) {
  if (conn->capable & FUSE_CAP_POSIX_LOCKS) conn->want |= FUSE_CAP_POSIX_LOCKS;
}

void LookUpOp(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Wait();
  ReplyEntry(req, NodeOf(parent), name);
}

void ForgetOp(fuse_req_t req, fuse_ino_t ino, uint64_t count) {
  Forget(ino, count);
  fuse_reply_none(req);
}

void ForgetMany(fuse_req_t req, size_t count, fuse_forget_data* forgets) {
  for (size_t i = 0; i < count; ++i) Forget(forgets[i].ino, forgets[i].nlookup);
  fuse_reply_none(req);
}

void GetAttr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
  Wait();
  struct stat st;
  if (const int error = StatOf(NodeOf(ino).fd, st)) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_attr(req, &st, 0);
}

void SetAttr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int set, fuse_file_info* fi) {
  Wait();
  const int fd = NodeOf(ino).fd;
  const std::string path = ProcPath(fd);
  int rc = 0;
  if (set & FUSE_SET_ATTR_MODE)
    rc = fi ? fchmod(OpenOf(fi).fd, attr->st_mode) : chmod(path.c_str(), attr->st_mode);
  if (rc == 0 && (set & (FUSE_SET_ATTR_UID | FUSE_SET_ATTR_GID)))
    rc = fchownat(fd, "", set & FUSE_SET_ATTR_UID ? attr->st_uid : static_cast<uid_t>(-1),
                  set & FUSE_SET_ATTR_GID ? attr->st_gid : static_cast<gid_t>(-1),
                  AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
  if (rc == 0 && (set & FUSE_SET_ATTR_SIZE))
    rc = fi ? ftruncate(OpenOf(fi).fd, attr->st_size) : truncate(path.c_str(), attr->st_size);
  if (rc == 0 && (set & (FUSE_SET_ATTR_ATIME | FUSE_SET_ATTR_MTIME))) {
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (set & FUSE_SET_ATTR_ATIME) times[0] = attr->st_atim;
    if (set & FUSE_SET_ATTR_ATIME_NOW) times[0].tv_nsec = UTIME_NOW;
    if (set & FUSE_SET_ATTR_MTIME) times[1] = attr->st_mtim;
    if (set & FUSE_SET_ATTR_MTIME_NOW) times[1].tv_nsec = UTIME_NOW;
    rc = fi ? futimens(OpenOf(fi).fd, times) : utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  struct stat st;
  const int error = rc < 0 ? errno : StatOf(fd, st);
  if (error) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_attr(req, &st, 0);
}

void ReadLink(fuse_req_t req, fuse_ino_t ino) {
  Wait();
  char target[PATH_MAX + 1];
  const ssize_t n = readlinkat(NodeOf(ino).fd, "", target, PATH_MAX);
  if (n < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  target[n] = '\0';
  fuse_reply_readlink(req, target);
}

void MakeNode(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, dev_t device) {
  Wait();
  ReplyCreated(req, mknodat(NodeOf(parent).fd, name, mode, device), parent, name);
}

void MakeDir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode) {
  Wait();
  ReplyCreated(req, mkdirat(NodeOf(parent).fd, name, mode), parent, name);
}

void SymLink(fuse_req_t req, const char* target, fuse_ino_t parent, const char* name) {
  Wait();
  ReplyCreated(req, symlinkat(target, NodeOf(parent).fd, name), parent, name);
}

void Link(fuse_req_t req, fuse_ino_t ino, fuse_ino_t parent, const char* name) {
  Wait();
  const std::string from = ProcPath(NodeOf(ino).fd);
  if (linkat(AT_FDCWD, from.c_str(), NodeOf(parent).fd, name, AT_SYMLINK_FOLLOW) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  ReplyEntry(req, NodeOf(parent), name);
}

void Unlink(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Wait();
  fuse_reply_err(req, unlinkat(NodeOf(parent).fd, name, 0) < 0 ? errno : 0);
}

void RemoveDir(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Wait();
  fuse_reply_err(req, unlinkat(NodeOf(parent).fd, name, AT_REMOVEDIR) < 0 ? errno : 0);
}

void Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent,
            const char* newName, unsigned int flags) {
  Wait();
  const int rc = renameat2(NodeOf(parent).fd, name, NodeOf(newParent).fd, newName, flags);
  fuse_reply_err(req, rc < 0 ? errno : 0);
}

void OpenOp(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
  Wait();
  const int flags = fi->flags & ~(O_CREAT | O_EXCL | O_NOCTTY | O_NOFOLLOW);
  const int fd = open(ProcPath(NodeOf(ino).fd).c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fi->fh = reinterpret_cast<uint64_t>(new Open{fd, &NodeOf(ino), {}});
  fi->direct_io = 1;  // every read reaches the file system
  fuse_reply_open(req, fi);
}

void Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi) {
  Wait();
  // Created here, the file belongs to the caller; one that exists is only opened.
  const int flags = fi->flags | O_NOFOLLOW | O_CLOEXEC;
  const int dir = NodeOf(parent).fd;
  int fd = openat(dir, name, flags | O_CREAT | O_EXCL, mode);
  if (fd >= 0) {
    const fuse_ctx* caller = fuse_req_ctx(req);
    fchown(fd, caller->uid, caller->gid);
  } else if (errno == EEXIST && !(fi->flags & O_EXCL)) {
    fd = openat(dir, name, flags & ~O_CREAT, mode);
  }
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fuse_entry_param entry;
  if (const int error = LookUp(NodeOf(parent), name, entry)) {
    close(fd);
    fuse_reply_err(req, error);
    return;
  }
  fi->fh = reinterpret_cast<uint64_t>(new Open{fd, reinterpret_cast<Node*>(entry.ino), {}});
  fi->direct_io = 1;
  fuse_reply_create(req, &entry, fi);
}

void Read(fuse_req_t req, fuse_ino_t, size_t size, off_t offset, fuse_file_info* fi) {
  Wait();
  std::vector<char> buffer(size);
  const ssize_t n = pread(OpenOf(fi).fd, buffer.data(), size, offset);
  if (n < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fuse_reply_buf(req, buffer.data(), static_cast<size_t>(n));
}

void Write(fuse_req_t req, fuse_ino_t, const char* buffer, size_t size, off_t offset,
           fuse_file_info* fi) {
  Wait();
  const ssize_t n = pwrite(OpenOf(fi).fd, buffer, size, offset);
  if (n < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fuse_reply_write(req, static_cast<size_t>(n));
}

// Sent on every close of a descriptor: a process drops its locks on the file.
void Flush(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
  Wait();
  DropLocks(OpenOf(fi).node, fi->lock_owner);
  fuse_reply_err(req, 0);
}

// The last close of an open: its own locks go with it.
void Release(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
  const std::unique_ptr<Open> open(&OpenOf(fi));
  for (const uint64_t owner : open->owners) DropLocks(open->node, owner);
  close(open->fd);
  Wait();
  fuse_reply_err(req, 0);
}

void Fsync(fuse_req_t req, fuse_ino_t, int dataOnly, fuse_file_info* fi) {
  Wait();
  const int rc = dataOnly ? fdatasync(OpenOf(fi).fd) : fsync(OpenOf(fi).fd);
  fuse_reply_err(req, rc < 0 ? errno : 0);
}

// The listing is read at once; readdir hands it out from the kernel's offset.
void OpenDir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
  Wait();
  const int fd = openat(NodeOf(ino).fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
  if (!dir) {
    const int error = errno;
    if (fd >= 0) close(fd);
    fuse_reply_err(req, error);
    return;
  }
  auto listing = std::make_unique<Directory>();
  while (const dirent* entry = readdir(dir)) {
    struct stat st {};
    st.st_ino = entry->d_ino;
    st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
    listing->entries.emplace_back(entry->d_name, st);
  }
  closedir(dir);
  fi->fh = reinterpret_cast<uint64_t>(listing.release());
  fuse_reply_open(req, fi);
}

void ReadDir(fuse_req_t req, fuse_ino_t, size_t size, off_t offset, fuse_file_info* fi) {
  Wait();
  const auto& entries = reinterpret_cast<Directory*>(fi->fh)->entries;
  std::vector<char> buffer(size);
  size_t used = 0;
  for (size_t i = static_cast<size_t>(offset); i < entries.size(); ++i) {
    const size_t need =
        fuse_add_direntry(req, buffer.data() + used, size - used, entries[i].first.c_str(),
                          &entries[i].second, static_cast<off_t>(i + 1));
    if (need > size - used) break;
    used += need;
  }
  fuse_reply_buf(req, buffer.data(), used);
}

void ReleaseDir(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
  delete reinterpret_cast<Directory*>(fi->fh);
  fuse_reply_err(req, 0);
}

void StatFs(fuse_req_t req, fuse_ino_t ino) {
  Wait();
  struct statvfs st;
  if (fstatvfs(NodeOf(ino).fd, &st) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fuse_reply_statfs(req, &st);
}

// A test asks on the owner's descriptor (its own locks never conflict), or on
// the open when the owner holds nothing on the file.
void GetLock(fuse_req_t req, fuse_ino_t, fuse_file_info* fi, struct flock* lock) {
  Wait();
  const int held = LockFd(OpenOf(fi), fi->lock_owner, false);
  lock->l_pid = 0;
  if (fcntl(held >= 0 ? held : OpenOf(fi).fd, F_OFD_GETLK, lock) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fuse_reply_lock(req, lock);
}

void SetLock(fuse_req_t req, fuse_ino_t, fuse_file_info* fi, struct flock* lock, int sleep) {
  Wait();
  const int fd = LockFd(OpenOf(fi), fi->lock_owner, lock->l_type != F_UNLCK);
  if (fd < 0) {
    fuse_reply_err(req, lock->l_type == F_UNLCK ? 0 : errno);
    return;
  }
  lock->l_pid = 0;
  const int rc = fcntl(fd, sleep ? F_OFD_SETLKW : F_OFD_SETLK, lock);
  fuse_reply_err(req, rc < 0 ? errno : 0);
}

fuse_lowlevel_ops Operations() {
  fuse_lowlevel_ops ops{};
  ops.init = Init;
  ops.lookup = LookUpOp;
  ops.forget = ForgetOp;
  ops.forget_multi = ForgetMany;
  ops.getattr = GetAttr;
  ops.setattr = SetAttr;
  ops.readlink = ReadLink;
  ops.mknod = MakeNode;
  ops.mkdir = MakeDir;
  ops.symlink = SymLink;
  ops.link = Link;
  ops.unlink = Unlink;
  ops.rmdir = RemoveDir;
  ops.rename = Rename;
  ops.open = OpenOp;
  ops.create = Create;
  ops.read = Read;
  ops.write = Write;
  ops.flush = Flush;
  ops.release = Release;
  ops.fsync = Fsync;
  ops.opendir = OpenDir;
  ops.readdir = ReadDir;
  ops.releasedir = ReleaseDir;
  ops.statfs = StatFs;
  ops.getlk = GetLock;
  ops.setlk = SetLock;
  return ops;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT MICROSECONDS [fuse options]\n", argv[0]);
    return 2;
  }
  umask(0);  // modes arrive with the caller's umask applied
  // Each node the kernel remembers holds a descriptor (a store of 10,989
  // drawings has more than 20,000 nodes): as many as the system allows.
  rlimit most{1u << 20, 1u << 20};
  if (setrlimit(RLIMIT_NOFILE, &most) != 0 && getrlimit(RLIMIT_NOFILE, &most) == 0) {
    most.rlim_cur = most.rlim_max;
    setrlimit(RLIMIT_NOFILE, &most);
  }
  g_root.fd = open(argv[1], O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (g_root.fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  const long microseconds = std::strtol(argv[3], nullptr, 10);
  g_delay = {microseconds / 1000000, (microseconds % 1000000) * 1000};

  // The library wants: program, mount point, options; the source and delay are ours.
  static char permissions[] = "-oallow_other,default_permissions";
  std::vector<char*> args = {argv[0], argv[2]};
  for (int i = 4; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(permissions);
  fuse_args fuseArgs = FUSE_ARGS_INIT(static_cast<int>(args.size()), args.data());
  fuse_cmdline_opts options{};
  if (fuse_parse_cmdline(&fuseArgs, &options) != 0 || !options.mountpoint) return 2;

  const fuse_lowlevel_ops ops = Operations();
  fuse_session* session = fuse_session_new(&fuseArgs, &ops, sizeof ops, nullptr);
  int rc = 1;
  if (session && fuse_set_signal_handlers(session) == 0) {
    if (fuse_session_mount(session, options.mountpoint) == 0) {
      fuse_daemonize(options.foreground);
      if (options.singlethread) {
        rc = fuse_session_loop(session);
      } else {
        fuse_loop_config* config = fuse_loop_cfg_create();
        rc = fuse_session_loop_mt(session, config);
        fuse_loop_cfg_destroy(config);
      }
      fuse_session_unmount(session);
    }
    fuse_remove_signal_handlers(session);
  }
  if (session) fuse_session_destroy(session);
  free(options.mountpoint);
  fuse_opt_free_args(&fuseArgs);
  return rc == 0 ? 0 : 1;
}
