#include "lock/recycle_lock.h"

#include <string>

#include "lock/lock_file.h"
#include "platform/folder_mode.h"
#include "platform/sysinfo.h"
#include "vexafol/store_layout.h"

namespace vexa {

RecycleFolderLock::RecycleFolderLock(const CEnvironObj& env, const std::string& recycleFolder)
    : path_(recycleFolder) {
  env.AddFileName(path_, kRecycleLockFileName);
  // The lock file is reached through a descriptor of the recycle folder that
  // was opened without following a link: a recycle folder swapped for a link
  // meanwhile cannot make this create or truncate a file outside the store.
  if (const int opened = platform::StoreDir::OpenBelow(platform::FolderOf(recycleFolder),
                                                       recycleFolder, folder_)) {
    error_ = -opened;
    return;
  }
  const std::string throughFolder =
      "/proc/self/fd/" + std::to_string(folder_.fd()) + "/" + kRecycleLockFileName;
  held_ = file_.Open(throughFolder, File::Mode::CreateTruncate) &&
          file_.SetLength(kRecycleLockFileLength) && file_.LockRange(0, 1);
  if (!held_) error_ = file_.LastError();
}

RecycleFolderLock::~RecycleFolderLock() {
  if (held_) file_.UnlockRange(0, 1);
  // A file that could not be opened was not created by us and stays as it is.
  if (lock::LockFilesStay(path_))
    file_.Close();
  else
    file_.CloseAndRemove();
}

std::string RecycleFolderLock::ErrorMessage() const {
  return "ごみ箱フォルダをロックできません。\n" +
         platform::SystemErrorText(static_cast<unsigned long>(error_));
}

}  // namespace vexa
