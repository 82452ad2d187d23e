// The one way to change anything inside a store. Any member of the store's
// group can put a symbolic link, a FIFO or a hard link under any name, or
// swap a folder for a link while a command runs; so every create, rename,
// removal, copy and mode change works relative to a folder descriptor that was
// opened without following a link, names one entry of that folder, checks what
// it acts on, and never leaves the store's tree or device:
//   - StoreDir::OpenBelow opens a folder of the store by its path: the store
//     folder itself (the host's path, whose links are followed: a store may lie
//     on another disk) and from there each component without following a link
//     (openat2 RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV, or a
//     descriptor walk with O_NOFOLLOW on older kernels);
//   - every change is an *at call on the descriptor of the folder that holds
//     the entry: a link swapped in for a folder after it was opened is never
//     entered, and a link under a name is itself renamed or removed, never what
//     it points at.
// Every call returns 0 (or a descriptor) or -errno through the Env seam.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/env.h"

namespace vexa::platform {

class StoreDir {
 public:
  StoreDir() = default;
  ~StoreDir();
  StoreDir(StoreDir&& other) noexcept;
  StoreDir& operator=(StoreDir&& other) noexcept;
  StoreDir(const StoreDir&) = delete;
  StoreDir& operator=(const StoreDir&) = delete;

  // Opens the folder path of the store whose folder is store: path is store
  // itself or lies below it (-EXDEV otherwise); below store no component may
  // be a link (-ELOOP), ".." or on another device (-EXDEV).
  static int OpenBelow(const std::string& store, const std::string& path, StoreDir& out);

  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // The folder relative (one or more components) below this one, as OpenBelow.
  int OpenDir(const std::string& relative, StoreDir& out) const;
  // Status of the entry name itself (a link is not followed); "" for this folder.
  int Stat(const std::string& name, struct stat& st) const;
  // The entries of this folder; isDir only for real folders.
  int List(std::vector<DirEntry>& entries) const;

  // Makes the folder name with the store's modes (FolderModeIn of this folder,
  // the umask's in a sticky folder such as /tmp). It appears under its name
  // with its final mode: made under a draft name, given the mode, then renamed
  // without replacing (-EEXIST when something is there; it is left alone).
  int MakeDir(const std::string& name) const;
  // Creates the regular file name exclusively for writing with the store's
  // modes (FileModeIn of this folder) and returns its descriptor; -EEXIST when
  // anything, a link too, is there.
  int CreateFile(const std::string& name) const;
  // The same with a mode the caller already knows (FileModeIn of this folder,
  // asked once for many files): no status of the folder is asked, and the mode
  // is set again after the open (one more call) only when umask, the caller's
  // knowledge of the process umask, would narrow it.
  int CreateFile(const std::string& name, mode_t mode, mode_t umask) const;
  // Opens the regular file name for reading without following a link and
  // without blocking on a FIFO: -ELOOP, -EISDIR or -ENXIO for anything else.
  int OpenFile(const std::string& name) const;

  // Renames name to toName in to, never replacing anything (-EEXIST).
  int Rename(const std::string& name, const StoreDir& to, const std::string& toName) const;
  // Removes the file or link name (a link itself, never what it points at).
  int RemoveFile(const std::string& name) const;
  // Removes the empty folder name.
  int RemoveEmptyDir(const std::string& name) const;
  // Removes name with everything below it, as rm -r does: by descriptors,
  // folder by folder; a link anywhere is removed itself, never followed, and
  // nothing on another device is entered (-EXDEV). Stops at the first failure.
  int RemoveTree(const std::string& name) const;
  // Gives the folder or regular file name mode (and group unless it is -1),
  // through a descriptor of the entry itself, and only when it is still the
  // entry expected (same device and inode): -ESTALE otherwise, -ELOOP for a
  // link, -ENXIO for anything but a folder or a regular file.
  int ChangeMode(const std::string& name, const struct stat& expected, mode_t mode,
                 gid_t group) const;

 private:
  int fd_ = -1;
  std::string path_;
};

// Removes the folder path with its contents (StoreDir::RemoveTree in the
// folder that holds it, which is opened by its path). 0 or -errno.
int RemoveTreeAt(const std::string& path);

}  // namespace vexa::platform
