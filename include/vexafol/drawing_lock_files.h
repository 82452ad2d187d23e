// Where the lock service keeps a drawing's locks, for programs that show who
// holds them or explain a refusal.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

struct DrawingLockFiles {
  int appId = 0;          // application whose folder holds the drawing
  int slot = -1;          // the application's slot 0 to 10; -1 when it has none
  int folderNo = 0;       // the folder's number ("Fol.012" -> 12): its byte in drawingLockFile
  bool lockable = false;  // a slot and a folder number 1 to 999: the lock files can stand for it
  std::string drawingLockFile;  // "CADAPP.LOC" beside the drawing folder
  std::string pageLockFile;     // "FOL%03d.LOC" beside it; byte p locks page p
};

// The lock files and bytes of the drawing folder drawingPath. Only computes
// names: nothing is opened or created.
VEXA_CORE_API DrawingLockFiles GetDrawingLockFiles(const CEnvironObj& env,
                                                   const std::string& drawingPath);

}  // namespace vexa
