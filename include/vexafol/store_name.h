// Store names on a file system that tells case apart. Stores are copied from
// and shared with Windows, where "INDEX.VXF" and "index.vxf" name one file;
// File::Open uses a path exactly as given.
#pragma once

#include <string>

#include "vexafol/export.h"

namespace vexa {

// The path with its missing names matched ignoring ASCII case, as the store
// spells them on disk; the path unchanged when it exists exactly, names a lock
// file or cannot be matched. Open a drawing's files through it.
VEXA_CORE_API std::string ResolveStoreName(const std::string& path);

}  // namespace vexa
