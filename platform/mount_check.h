// Warns when the mount that holds a store makes byte-range locks local to this
// computer: other computers sharing the store would then not see our locks.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace vexa::platform {

// One line of /proc/self/mountinfo.
struct MountEntry {
  std::string mountPoint;
  std::string fsType;        // "ext4", "nfs4", "cifs", ...
  std::string source;        // "/dev/sda1", "server:/export", "//server/share"
  std::string mountOptions;  // per mount point: "rw,relatime"
  std::string superOptions;  // per file system: "rw,vers=3.0,nobrl"
};

// The mounts of device major:minor in the text of /proc/self/mountinfo, in
// the table's order (a device mounted at several places has several lines).
std::vector<MountEntry> MountsOf(std::string_view mountinfo, unsigned major, unsigned minor);

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
