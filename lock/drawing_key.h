// Where a drawing's locks live: the application slot of its drawing path and
// its folder number.
#pragma once

#include <string>

#include "vexafol/environ.h"

namespace vexa::lock {

// Folder numbers that name drawings in the lock files.
constexpr int kFirstFolderNo = 1;
constexpr int kLastFolderNo = 999;

// Slot 0 to 10 of an application id (1, 2, 4, ..., 256, 4096, 8192); -1 for
// any other id.
int SlotOfApplication(int applicationId);

// Slot of the application that the drawing path belongs to; -1 for none.
int SlotOfDrawing(const CEnvironObj& env, const std::string& drawingPath);

// The numeric extension of the path's last component as atoi reads it after
// the dot ("Fol.012" -> 12, "Fol" -> 0, "Fol.12a" -> 12).
int FolderNumberOf(const CEnvironObj& env, const std::string& drawingPath);

}  // namespace vexa::lock
