// What `vexafol select` adds when the user chose in one of the dialog's
// restore dialogs: the chosen folder is still a deleted drawing or a backup,
// and the command that brings it back.
#pragma once

#include <string>

namespace vexa {
class CEnvironObj;
}

namespace vexa::tool {

// The hint for path, chosen over the store at root: "" for an ordinary
// drawing; otherwise a line that says nothing was restored and names the
// `vexafol restore` command for this deleted drawing or backup.
std::string RestoreHint(const CEnvironObj& env, const std::string& root, const std::string& path);

}  // namespace vexa::tool
