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
// Files are known by name, not by a descriptor each: the benchmark's store
// has more names than a process may hold descriptors.
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse_lowlevel.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bench/fuse_nodes.h"

namespace vexa::bench {
namespace {

timespec g_delay{};

void Wait() {
  nanosleep(&g_delay, nullptr);
}

// One open of the mount and the lock owners that locked through it.
struct Open {
  int fd = -1;
  Node* node = nullptr;
  std::set<uint64_t> owners;
};

struct Directory {
  std::vector<std::pair<std::string, struct stat>> entries;
};

int g_source = -1;   // the source folder
std::mutex g_mutex;  // guards the lock descriptors and the owners of opens
std::map<std::pair<Node*, uint64_t>, int> g_lockFds;  // (file, lock owner) -> descriptor

Open& OpenOf(const fuse_file_info* fi) {
  return *reinterpret_cast<Open*>(fi->fh);
}

std::string ProcPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

void ReplyEntry(fuse_req_t req, fuse_ino_t parent, const char* name) {
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
  fchownat(g_source, PathIn(parent, name).c_str(), caller->uid, caller->gid, AT_SYMLINK_NOFOLLOW);
  ReplyEntry(req, parent, name);
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

// Hands the kernel a new open of node.
void ReplyOpened(fuse_req_t req, int fd, Node& node, fuse_file_info* fi,
                 const fuse_entry_param* entry) {
  AddOpen(node, fd);
  fi->fh = reinterpret_cast<uint64_t>(new Open{fd, &node, {}});
  fi->direct_io = 1;  // every read reaches the file system
  if (entry)
    fuse_reply_create(req, entry, fi);
  else
    fuse_reply_open(req, fi);
}

void Init(void*, fuse_conn_info* conn) {
  if (conn->capable & FUSE_CAP_POSIX_LOCKS) conn->want |= FUSE_CAP_POSIX_LOCKS;
}

void LookUpOp(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Wait();
  ReplyEntry(req, parent, name);
}

void ForgetOp(fuse_req_t req, fuse_ino_t ino, uint64_t count) {
  Forget(ino, count);
  fuse_reply_none(req);
}

void ForgetMany(fuse_req_t req, size_t count, fuse_forget_data* forgets) {
  for (size_t i = 0; i < count; ++i) Forget(forgets[i].ino, forgets[i].nlookup);
  fuse_reply_none(req);
}

void ReplyAttr(fuse_req_t req, fuse_ino_t ino) {
  struct stat st;
  if (const int error = StatOf(NodeOf(ino), st)) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_attr(req, &st, 0);
}

void GetAttr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
  Wait();
  ReplyAttr(req, ino);
}

void SetAttr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int set, fuse_file_info* fi) {
  Wait();
  const std::string path = PathOf(NodeOf(ino));
  const int fd = fi ? OpenOf(fi).fd : -1;
  int rc = 0;
  if (set & FUSE_SET_ATTR_MODE)
    rc = fd >= 0 ? fchmod(fd, attr->st_mode) : fchmodat(g_source, path.c_str(), attr->st_mode, 0);
  if (rc == 0 && (set & (FUSE_SET_ATTR_UID | FUSE_SET_ATTR_GID)))
    rc = fchownat(
        g_source, path.c_str(), set & FUSE_SET_ATTR_UID ? attr->st_uid : static_cast<uid_t>(-1),
        set & FUSE_SET_ATTR_GID ? attr->st_gid : static_cast<gid_t>(-1), AT_SYMLINK_NOFOLLOW);
  if (rc == 0 && (set & FUSE_SET_ATTR_SIZE)) {
    const int target = fd >= 0 ? fd : openat(g_source, path.c_str(), O_WRONLY | O_CLOEXEC);
    rc = target < 0 ? -1 : ftruncate(target, attr->st_size);
    if (target >= 0 && target != fd) close(target);
  }
  if (rc == 0 && (set & (FUSE_SET_ATTR_ATIME | FUSE_SET_ATTR_MTIME))) {
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (set & FUSE_SET_ATTR_ATIME) times[0] = attr->st_atim;
    if (set & FUSE_SET_ATTR_ATIME_NOW) times[0].tv_nsec = UTIME_NOW;
    if (set & FUSE_SET_ATTR_MTIME) times[1] = attr->st_mtim;
    if (set & FUSE_SET_ATTR_MTIME_NOW) times[1].tv_nsec = UTIME_NOW;
    rc = fd >= 0 ? futimens(fd, times)
                 : utimensat(g_source, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
  }
  if (rc < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  ReplyAttr(req, ino);
}

void ReadLink(fuse_req_t req, fuse_ino_t ino) {
  Wait();
  char target[PATH_MAX + 1];
  const ssize_t n = readlinkat(g_source, PathOf(NodeOf(ino)).c_str(), target, PATH_MAX);
  if (n < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  target[n] = '\0';
  fuse_reply_readlink(req, target);
}

void MakeNode(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, dev_t device) {
  Wait();
  ReplyCreated(req, mknodat(g_source, PathIn(parent, name).c_str(), mode, device), parent, name);
}

void MakeDir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode) {
  Wait();
  ReplyCreated(req, mkdirat(g_source, PathIn(parent, name).c_str(), mode), parent, name);
}

void SymLink(fuse_req_t req, const char* target, fuse_ino_t parent, const char* name) {
  Wait();
  ReplyCreated(req, symlinkat(target, g_source, PathIn(parent, name).c_str()), parent, name);
}

void Link(fuse_req_t req, fuse_ino_t ino, fuse_ino_t parent, const char* name) {
  Wait();
  const std::string from = PathOf(NodeOf(ino)), to = PathIn(parent, name);
  if (linkat(g_source, from.c_str(), g_source, to.c_str(), 0) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  ReplyEntry(req, parent, name);
}

void Remove(fuse_req_t req, fuse_ino_t parent, const char* name, int flags) {
  Wait();
  Node* node = NamedNode(parent, name);
  if (unlinkat(g_source, PathIn(parent, name).c_str(), flags) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  Unname(node);
  fuse_reply_err(req, 0);
}

void Unlink(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Remove(req, parent, name, 0);
}

void RemoveDir(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Remove(req, parent, name, AT_REMOVEDIR);
}

void Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent,
            const char* newName, unsigned int flags) {
  Wait();
  Node* moved = NamedNode(parent, name);
  Node* replaced = NamedNode(newParent, newName);
  const std::string from = PathIn(parent, name), to = PathIn(newParent, newName);
  if (renameat2(g_source, from.c_str(), g_source, to.c_str(), flags) < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  if (replaced != moved) Unname(replaced);
  Move(moved, newParent, newName);
  fuse_reply_err(req, 0);
}

void OpenOp(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
  Wait();
  const int flags = fi->flags & ~(O_CREAT | O_EXCL | O_NOCTTY);
  const int fd = openat(g_source, PathOf(NodeOf(ino)).c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  ReplyOpened(req, fd, NodeOf(ino), fi, nullptr);
}

void Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi) {
  Wait();
  // Created here, the file belongs to the caller; one that exists is only opened.
  const std::string path = PathIn(parent, name);
  const int flags = fi->flags | O_NOFOLLOW | O_CLOEXEC;
  int fd = openat(g_source, path.c_str(), flags | O_CREAT | O_EXCL, mode);
  if (fd >= 0) {
    const fuse_ctx* caller = fuse_req_ctx(req);
    fchown(fd, caller->uid, caller->gid);
  } else if (errno == EEXIST && !(fi->flags & O_EXCL)) {
    fd = openat(g_source, path.c_str(), flags & ~O_CREAT, mode);
  }
  fuse_entry_param entry;
  const int error = fd < 0 ? errno : LookUp(parent, name, entry);
  if (error) {
    if (fd >= 0) close(fd);
    fuse_reply_err(req, error);
    return;
  }
  ReplyOpened(req, fd, NodeOf(entry.ino), fi, &entry);
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
  RemoveOpen(*open->node, open->fd);
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
  const int fd = openat(g_source, PathOf(NodeOf(ino)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

void StatFs(fuse_req_t req, fuse_ino_t) {
  Wait();
  struct statvfs st;
  if (fstatvfs(g_source, &st) < 0) {
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
}  // namespace vexa::bench

int main(int argc, char** argv) {
  using namespace vexa::bench;
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT MICROSECONDS [fuse options]\n", argv[0]);
    return 2;
  }
  umask(0);  // modes arrive with the caller's umask applied
  g_source = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g_source < 0) {
    std::perror(argv[1]);
    return 1;
  }
  SetSourceFolder(g_source);
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
