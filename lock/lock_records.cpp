#include "lock/lock_records.h"

#include "lock/lock_file.h"

namespace vexa {

VexaPageLock::~VexaPageLock() {
  CloseAndRemove();
}

bool VexaPageLock::EnsureOpen(const std::string& path) {
  return lock::KeepOpen(file_, kPageLockFileLength) ||
         lock::OpenLockFile(file_, path, kPageLockFileLength);
}

void VexaPageLock::CloseAndRemove() {
  lock::CloseAndRemoveLockFile(file_);
}
bool VexaPageLock::LockByte(int n) {
  return lock::LockByte(file_, n);
}
bool VexaPageLock::UnlockByte(int n) {
  return lock::UnlockByte(file_, n);
}
bool VexaPageLock::ProbeByte(int n) {
  return lock::ProbeByte(file_, n);
}

bool VexaPageLock::HasForeignPageLock(const CEnvironObj& env, const std::string& drawingPath,
                                      int folderNo) {
  lock::LockPaths paths;
  return HasForeignPageLock(env, drawingPath, folderNo, paths);
}

bool VexaPageLock::HasForeignPageLock(const CEnvironObj& env, const std::string& drawingPath,
                                      int folderNo, lock::LockPaths& paths) {
  // A file deleted under us would hide the pages others lock on the new one.
  // (A handle that went bad otherwise stays: its failing read answers locked.)
  if (lock::WasDeleted(file_)) lock::KeepOpen(file_, kPageLockFileLength);
  if (!file_.IsOpen()) {
    // No data directory means no page lock file in it either: the one test of
    // the page lock file answers both questions, saving a stat per drawing.
    const std::string& path = paths.PagePath(env, drawingPath, folderNo);
    if (env.IsExist(path) != 0) return false;
    if (!EnsureOpen(path)) return true;
  }
  // A lock held through another handle makes the read fail; our own do not.
  // The bytes read are never looked at.
  char scanned[kScannedPages];
  uint64_t start = 0;
  size_t got = 0;
  return !file_.TrySeek(0, File::begin, start) || !file_.TryRead(scanned, sizeof scanned, got) ||
         got != sizeof scanned;
}

VexaAppLock::~VexaAppLock() {
  CloseAndRemove();
}

bool VexaAppLock::EnsureOpen(const CEnvironObj& env, const std::string& drawingPath) {
  if (lock::KeepOpen(file_, kDrawingLockFileLength)) return true;
  drawingPath_ = drawingPath;
  const std::string path = lock::DrawingLockPath(env, drawingPath);
  env.CreateDir(path, 0);  // a failure shows in the open
  return lock::OpenLockFile(file_, path, kDrawingLockFileLength);
}

void VexaAppLock::CloseAndRemove() {
  lock::CloseAndRemoveLockFile(file_);
}
bool VexaAppLock::LockByte(int n) {
  return lock::LockByte(file_, n);
}
bool VexaAppLock::UnlockByte(int n) {
  return lock::UnlockByte(file_, n);
}
bool VexaAppLock::ProbeByte(int n) {
  return lock::ProbeByte(file_, n);
}
bool VexaAppLock::ForeignLockedBytes(DrawingNumberBits& locked) {
  return lock::ForeignLockedBytes(file_, locked);
}

VexaFolderLockInfo::~VexaFolderLockInfo() {
  CloseAll();
}

void VexaFolderLockInfo::CloseAll() {
  notes_.DropAll();  // a note never outlives its lock
  for (VexaAppLock& slot : slots_) {
    slot.CloseAndRemove();
    for (int n = 0; n < VexaAppLock::kPageRecords; ++n) slot.Page(n).CloseAndRemove();
  }
}

}  // namespace vexa
