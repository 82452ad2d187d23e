#include "vexafol/drawing_lock_files.h"

#include "lock/drawing_key.h"
#include "lock/lock_file.h"
#include "vexafol/senyou.h"

namespace vexa {

DrawingLockFiles GetDrawingLockFiles(const CEnvironObj& env, const std::string& drawingPath) {
  DrawingLockFiles files;
  files.appId = GetPathToSenyouId(env, drawingPath);
  files.slot = lock::SlotOfApplication(files.appId);
  files.folderNo = DrawingNumberOf(env, drawingPath);
  files.lockable =
      files.slot >= 0 && files.folderNo >= kFirstDrawingNo && files.folderNo <= kLastDrawingNo;
  files.drawingLockFile = lock::DrawingLockPath(env, drawingPath);
  files.pageLockFile = lock::PageLockPath(env, drawingPath, files.folderNo);
  return files;
}

}  // namespace vexa
