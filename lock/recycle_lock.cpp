#include "lock/recycle_lock.h"

#include "lock/lock_file.h"
#include "platform/sysinfo.h"

namespace vexa {

RecycleFolderLock::RecycleFolderLock(const CEnvironObj& env, const std::string& recycleFolder) {
  std::string path = recycleFolder;
  env.AddFileName(path, "LOCK.TMP");
  held_ =
      file_.Open(path, File::Mode::CreateTruncate) && file_.SetLength(1) && file_.LockRange(0, 1);
  if (!held_) error_ = file_.LastError();
}

RecycleFolderLock::~RecycleFolderLock() {
  if (held_) file_.UnlockRange(0, 1);
  // A file that could not be opened was not created by us and stays as it is.
  lock::CloseAndRemoveLockFile(file_);
}

std::string RecycleFolderLock::ErrorMessage() const {
  return "ごみ箱フォルダをロックできません。\n" +
         platform::SystemErrorText(static_cast<unsigned long>(error_));
}

}  // namespace vexa
