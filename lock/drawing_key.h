// Where a drawing's locks live: the application slot of its drawing path (its
// folder number is DrawingNumberOf in vexafol/folmember.h).
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/folmember.h"

namespace vexa::lock {

// Slot 0 to 10 of an application id (1, 2, 4, ..., 256, 4096, 8192); -1 for
// any other id.
int SlotOfApplication(int applicationId);

// Slot of the application that the drawing path belongs to; -1 for none.
int SlotOfDrawing(const CEnvironObj& env, const std::string& drawingPath);

}  // namespace vexa::lock
