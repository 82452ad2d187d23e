// A passthrough file system that makes every request wait, as a network share
// does: delay_fuse SOURCE MOUNTPOINT MICROSECONDS [-f] [-d]. Byte-range locks
// are passed through to the source files as open file description locks of
// one source descriptor per open, so holders on the source and on the mount
// see each other's locks. No caching of names, attributes or data: every
// lookup, open, read and lock is a request. For the folder-list benchmark only
// (libfuse3, run as root with /dev/fuse); not part of the library.
//
// The locks are not those of a real share in every detail: the release of an
// open reaches the file system after the close returns, and libfuse unlocks
// an owner's locks on every flush, so locks can outlive their holder for a
// moment or vanish when a forked child closes an inherited descriptor. The
// lock protocol's tests do not all pass on this mount; the benchmark uses it
// for the cost of overlapped requests, with locks that stay put while it runs.
#define FUSE_USE_VERSION 35
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int g_source = -1;  // descriptor of the source directory
timespec g_delay{};

void Wait() {
  nanosleep(&g_delay, nullptr);
}

// Source path relative to g_source ("." for the root).
std::string Rel(const char* path) {
  return path[1] ? std::string(path + 1) : std::string(".");
}

int Result(int rc) {
  return rc < 0 ? -errno : rc;
}

void* Init(fuse_conn_info*, fuse_config* config) {
  config->entry_timeout = 0;
  config->attr_timeout = 0;
  config->negative_timeout = 0;
  config->use_ino = 1;
  config->direct_io = 1;  // every read reaches the file system
  return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
  Wait();
  if (fi) return Result(fstat(static_cast<int>(fi->fh), st));
  return Result(fstatat(g_source, Rel(path).c_str(), st, AT_SYMLINK_NOFOLLOW));
}

int ReadLink(const char* path, char* buffer, size_t size) {
  Wait();
  const ssize_t n = readlinkat(g_source, Rel(path).c_str(), buffer, size - 1);
  if (n < 0) return -errno;
  buffer[n] = '\0';
  return 0;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
  Wait();
  const int fd = openat(g_source, Rel(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -errno;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return -errno;
  }
  while (dirent* entry = readdir(dir)) {
    struct stat st {};
    st.st_ino = entry->d_ino;
    st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
    if (fill(buffer, entry->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0))) break;
  }
  closedir(dir);
  return 0;
}

int SymLink(const char* target, const char* path) {
  Wait();
  return Result(symlinkat(target, g_source, Rel(path).c_str()));
}
int MakeDir(const char* path, mode_t mode) {
  Wait();
  return Result(mkdirat(g_source, Rel(path).c_str(), mode));
}
int Unlink(const char* path) {
  Wait();
  return Result(unlinkat(g_source, Rel(path).c_str(), 0));
}
int RemoveDir(const char* path) {
  Wait();
  return Result(unlinkat(g_source, Rel(path).c_str(), AT_REMOVEDIR));
}
int Rename(const char* from, const char* to, unsigned int flags) {
  Wait();
  if (flags) return -EINVAL;
  return Result(renameat(g_source, Rel(from).c_str(), g_source, Rel(to).c_str()));
}
int Chmod(const char* path, mode_t mode, fuse_file_info*) {
  Wait();
  return Result(fchmodat(g_source, Rel(path).c_str(), mode, 0));
}
int Truncate(const char* path, off_t size, fuse_file_info* fi) {
  Wait();
  if (fi) return Result(ftruncate(static_cast<int>(fi->fh), size));
  const int fd = openat(g_source, Rel(path).c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return -errno;
  const int rc = Result(ftruncate(fd, size));
  close(fd);
  return rc;
}
int Utimens(const char* path, const timespec times[2], fuse_file_info*) {
  Wait();
  return Result(utimensat(g_source, Rel(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int Open(const char* path, fuse_file_info* fi) {
  Wait();
  const int fd = openat(g_source, Rel(path).c_str(), (fi->flags & ~O_NOFOLLOW) | O_CLOEXEC);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}
int Create(const char* path, mode_t mode, fuse_file_info* fi) {
  Wait();
  const int fd = openat(g_source, Rel(path).c_str(), fi->flags | O_CREAT | O_CLOEXEC, mode);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}
int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
  Wait();
  return Result(static_cast<int>(pread(static_cast<int>(fi->fh), buffer, size, offset)));
}
int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
  Wait();
  return Result(static_cast<int>(pwrite(static_cast<int>(fi->fh), buffer, size, offset)));
}
int Release(const char*, fuse_file_info* fi) {
  Wait();
  close(static_cast<int>(fi->fh));  // drops the locks taken through this open
  return 0;
}
int Fsync(const char*, int, fuse_file_info* fi) {
  Wait();
  return Result(fsync(static_cast<int>(fi->fh)));
}

// The kernel hands over every byte-range request of one open (one owner);
// the source descriptor of that open holds it as an open file description lock.
int Lock(const char*, fuse_file_info* fi, int command, struct flock* lock) {
  Wait();
  const int ofd = command == F_GETLK    ? F_OFD_GETLK
                  : command == F_SETLKW ? F_OFD_SETLKW
                                        : F_OFD_SETLK;
  const pid_t pid = lock->l_pid;
  lock->l_pid = 0;
  const int rc = Result(fcntl(static_cast<int>(fi->fh), ofd, lock));
  if (command != F_GETLK) lock->l_pid = pid;
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT MICROSECONDS [fuse options]\n", argv[0]);
    return 2;
  }
  g_source = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g_source < 0) {
    std::perror(argv[1]);
    return 1;
  }
  const long microseconds = std::strtol(argv[3], nullptr, 10);
  g_delay = {microseconds / 1000000, (microseconds % 1000000) * 1000};

  fuse_operations operations{};
  operations.init = Init;
  operations.getattr = GetAttr;
  operations.readlink = ReadLink;
  operations.readdir = ReadDir;
  operations.symlink = SymLink;
  operations.mkdir = MakeDir;
  operations.unlink = Unlink;
  operations.rmdir = RemoveDir;
  operations.rename = Rename;
  operations.chmod = Chmod;
  operations.truncate = Truncate;
  operations.utimens = Utimens;
  operations.open = Open;
  operations.create = Create;
  operations.read = Read;
  operations.write = Write;
  operations.release = Release;
  operations.fsync = Fsync;
  operations.lock = Lock;

  // fuse_main wants: program, mount point, options; the source and delay are ours.
  std::string program = argv[0];
  char* args[64];
  int count = 0;
  args[count++] = program.data();
  args[count++] = argv[2];
  for (int i = 4; i < argc && count < 60; ++i) args[count++] = argv[i];
  static char allowOther[] = "-oallow_other,default_permissions";
  args[count++] = allowOther;
  return fuse_main(count, args, &operations, nullptr);
}
