// The drawing that the lock commands (lock, status, who) work on: the store it
// belongs to, its folder path, application slot and folder number, and the
// paths of its two lock files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/command.h"
#include "vexafol/drawing_lock_files.h"
#include "vexafol/folder_environ.h"

namespace vexa::tool {

class LockTarget {
 public:
  // Reads --store, --host-kind and the one drawing argument (LoadDrawing).
  // Returns 0, or the exit status after printing why: a usage error when an
  // option or the argument is wrong, a failure when the folder does not exist
  // (a lock command never creates lock files for a mistyped path).
  int Load(Args& args, const std::string& command);

  const FolderEnvironObj& env() const { return *env_; }
  const std::string& path() const { return path_; }
  const char* c_path() const { return path_.c_str(); }
  int appId() const { return files_.appId; }
  // Application slot 0 to 10, -1 when the application has none.
  int slot() const { return files_.slot; }
  int folderNo() const { return files_.folderNo; }
  // The slot and number that the lock files can stand for (slot found, 1 to 999).
  bool Lockable() const { return files_.lockable; }
  // "…/CADAPP.LOC" (byte folderNo) and "…/FOL%03d.LOC" (byte p: page p).
  const std::string& drawingLockFile() const { return files_.drawingLockFile; }
  const std::string& pageLockFile() const { return files_.pageLockFile; }

 private:
  std::unique_ptr<FolderEnvironObj> env_;
  std::string path_;
  DrawingLockFiles files_;
};

// The page numbers given with --page (repeatable). False with error set when
// one is not an integer.
bool PageOptions(const Args& args, std::vector<int>& pages, std::string& error);

// The last component of a path ("CADAPP.LOC").
std::string FileNameOf(const std::string& path);

}  // namespace vexa::tool
