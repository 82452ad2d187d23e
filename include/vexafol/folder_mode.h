// Folders made in a shared store take their permissions from the store, not
// from the umask of whoever came first.
#pragma once

#include <string>

#include "vexafol/export.h"

namespace vexa {

// Makes the folder path exclusively, with the read, write and search bits of
// every class and the set-group-id bit of the folder it is made in, whatever
// the umask; the folder appears under its name only with that mode. Two
// processes making one path at once: one gets 0, the other -EEXIST, so a
// number or name can be claimed by making its folder. Returns 0, -EEXIST
// when something is there already (it is left alone), or -errno.
VEXA_CORE_API int MakeStoreFolder(const std::string& path);

}  // namespace vexa
