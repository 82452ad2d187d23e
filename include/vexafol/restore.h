// What a host does with the folder that a restore of the selection dialog
// chose: it brings the drawing back into the folder of its application under
// a free number ("Fol.NNN"), under the new number's drawing lock, never
// overwriting anything. The folder-backed host and the tool use these.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

// Moves a recycled drawing folder ("…/RECYCCAD/[…].003/Fol.007") back into
// its application's folder and removes its emptied container. Returns the
// new drawing folder, or "" with error set (the drawing stays where it was).
VEXA_CORE_API std::string RestoreRecycled(const CEnvironObj& env, const std::string& recycledFolder,
                                          std::string& error);

// Copies a backup folder ("…/Fol.007/BKUP.002") as a new drawing into the
// application folder of its drawing; the backup stays. Returns the new
// drawing folder, or "" with error set (nothing is left behind).
VEXA_CORE_API std::string RestoreBackup(const CEnvironObj& env, const std::string& backupFolder,
                                        std::string& error);

}  // namespace vexa
