// The recycle-folder lock: byte 0 of "LOCK.TMP" inside the recycle folder,
// held while one deletion reorganises the folder.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/file.h"

namespace vexa {

class RecycleFolderLock {
 public:
  // Creates (truncating) "LOCK.TMP" in recycleFolder, sets it to one byte and
  // locks byte 0, never waiting. Check IsHeld().
  RecycleFolderLock(const CEnvironObj& env, const std::string& recycleFolder);
  // Releases the byte, closes the file and deletes it unless another holder
  // still has it open.
  ~RecycleFolderLock();
  RecycleFolderLock(const RecycleFolderLock&) = delete;
  RecycleFolderLock& operator=(const RecycleFolderLock&) = delete;

  bool IsHeld() const { return held_; }
  // errno of the failed step (0 when held).
  int Error() const { return error_; }
  // The message of a lock that could not be taken:
  // "ごみ箱フォルダをロックできません。\n" followed by "(code) system text".
  std::string ErrorMessage() const;

 private:
  File file_;
  bool held_ = false;
  int error_ = 0;
};

}  // namespace vexa
