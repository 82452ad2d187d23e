// The per-computer, per-user write-path setting: one drawing folder to write to
// and the executable that writes it, kept in "VXWTDEF.INI" in the host's
// settings folder (path kind 0x3040000) under the section "<computer>,<user>".
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

// 1 with exe (in the host's executable folder) and path (in its application's
// folder) set when the current computer and user have a complete setting;
// otherwise 0. exe may already be set when only the path is missing.
VEXA_CORE_API int GetVexaWritePath(const CEnvironObj& env, std::string& exe, std::string& path);
// Stores exe's file name and path relative to the folder of the application it
// belongs to; an empty path removes the setting. 1 on success, 0 on failure
// (keys written before a failed write stay in the file).
VEXA_CORE_API int SetVexaWritePath(const CEnvironObj& env, const std::string& exe,
                                   const std::string& path);

}  // namespace vexa
