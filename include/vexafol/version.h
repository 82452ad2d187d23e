// The version of the library a program runs with, which may be newer than the
// one it was built against: the shared library answers for itself.
#pragma once

#include "vexafol/export.h"

namespace vexa {

// "MAJOR.MINOR.PATCH" of the loaded libvexafol, e.g. "0.1.0".
VEXA_CORE_API const char* GetVexaFolVersion();

}  // namespace vexa
