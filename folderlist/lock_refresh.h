// Asking the lock states of a loaded list again, while a dialog shows it: the
// same survey the load makes (range queries per drawing lock file, page lock
// files only where the folder's listing holds them), per folder of drawings.
#pragma once

#include <vector>

#include "vexafol/environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"

namespace vexa::folderlist {

// Sets lockState of every member to what a load would find now; returns the
// number of members whose state changed. service must hold no locks.
int RefreshLockStates(const CEnvironObj& env, VexaFolderLock& service,
                      std::vector<FolMember>& members);

}  // namespace vexa::folderlist
