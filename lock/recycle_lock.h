// The recycle-folder lock: byte 0 of "LOCK.TMP" inside the recycle folder,
// held while one deletion reorganises the folder.
#pragma once

#include <string>

#include "platform/store_fs.h"
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
  std::string path_;           // "LOCK.TMP" in the recycle folder, as the store names it
  platform::StoreDir folder_;  // the recycle folder, opened without following a link
  File file_;                  // closed before folder_
  bool held_ = false;
  int error_ = 0;
};

}  // namespace vexa
