// Warns when the mount that holds a store makes byte-range locks local to this
// computer: other computers sharing the store would then not see our locks.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace vexa::platform {

// The mount option that keeps locks local on the mount of device major:minor,
// read from the text of /proc/self/mountinfo: "nolock" or "local_lock=posix" /
// "local_lock=all" on NFS, "nobrl" on CIFS/SMB. "" when locks reach the server
// or the device is not listed.
std::string LocalLockOption(std::string_view mountinfo, unsigned major, unsigned minor);

// On the first call for a device (later calls cost one lookup): reads the mount
// table and writes one warning line to stderr naming path when its mount keeps
// locks local.
void WarnIfLocksAreLocal(dev_t device, const std::string& path);

}  // namespace vexa::platform
