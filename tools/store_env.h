// The host environment the tool works in: a folder-backed store given by --store.
#pragma once

#include <string>

#include "tools/command.h"
#include "vexafol/folder_environ.h"

namespace vexa::tool {

// Options every store command accepts: --store DIR (default: the current
// folder), --host-kind K (0 to 5, default 0).
inline const std::vector<std::string> kStoreOptions = {"store", "host-kind"};

// Reads --store and --host-kind. Returns false with args.error() set when
// --host-kind is not a number.
bool MakeStoreEnv(Args& args, std::string& root, FolderEnvironOptions& options);

// "0x10" style id text.
std::string HexId(long id);

}  // namespace vexa::tool
