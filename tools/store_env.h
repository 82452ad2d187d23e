// The store a command works in and the host environment over it: --store DIR,
// else $VEXAFOL_STORE, else the nearest store enclosing the working folder.
#pragma once

#include <string>

#include "tools/command.h"
#include "vexafol/folder_environ.h"

namespace vexa::tool {

// Options every store command accepts: --store DIR, --host-kind K (0 to 5,
// default 0).
inline const std::vector<std::string> kStoreOptions = {"store", "host-kind"};

// The variable that names the store of commands given none.
inline constexpr const char* kStoreVariable = "VEXAFOL_STORE";

// The store of the command line: --store DIR, else $VEXAFOL_STORE when set and
// not empty, else the nearest store enclosing the working folder; "" when none
// of them names one.
std::string ChosenStore(const Args& args);

// Reads --store and --host-kind: root is ChosenStore, or the current folder
// when there is none. Returns false with args.error() set when --host-kind is
// not a number.
bool MakeStoreEnv(Args& args, std::string& root, FolderEnvironOptions& options);

// "0x10" style id text.
std::string HexId(long id);

}  // namespace vexa::tool
