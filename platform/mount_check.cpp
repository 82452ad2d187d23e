#include "platform/mount_check.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vexa::platform {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t stop = std::min(text.find(separator, start), text.size());
    if (stop > start) parts.push_back(text.substr(start, stop - start));
    start = stop + 1;
  }
  return parts;
}

// The local-lock option among comma-separated options of a mount of fsType.
std::string LocalOptionIn(std::string_view fsType, std::string_view options) {
  const bool nfs = fsType.substr(0, 3) == "nfs";
  const bool smb = fsType == "cifs" || fsType == "smb3";
  for (std::string_view option : Split(options, ',')) {
    if (nfs && option == "nolock") return "nolock";
    // local_lock=flock keeps only flock() locks local; ours are fcntl locks.
    if (nfs && (option == "local_lock=posix" || option == "local_lock=all"))
      return std::string(option);
    if (smb && option == "nobrl") return "nobrl";
  }
  return "";
}

}  // namespace

std::vector<MountEntry> MountsOf(std::string_view mountinfo, unsigned major, unsigned minor) {
  const std::string device = std::to_string(major) + ":" + std::to_string(minor);
  std::vector<MountEntry> mounts;
  for (std::string_view line : Split(mountinfo, '\n')) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const std::vector<std::string_view> fields = Split(line, ' ');
    if (fields.size() < 6 || fields[2] != device) continue;
    const auto dash = std::find(fields.begin() + 6, fields.end(), "-");
    if (dash == fields.end() || fields.end() - dash < 2) continue;
    MountEntry mount;
    mount.mountPoint = fields[4];
    mount.mountOptions = fields[5];
    mount.fsType = *(dash + 1);
    if (fields.end() - dash >= 3) mount.source = *(dash + 2);
    if (fields.end() - dash >= 4) mount.superOptions = *(dash + 3);
    mounts.push_back(std::move(mount));
  }
  return mounts;
}

std::string LocalLockOption(std::string_view mountinfo, unsigned major, unsigned minor) {
  for (const MountEntry& mount : MountsOf(mountinfo, major, minor)) {
    std::string option = LocalOptionIn(mount.fsType, mount.mountOptions);
    if (option.empty()) option = LocalOptionIn(mount.fsType, mount.superOptions);
    if (!option.empty()) return option;
  }
  return "";
}

void WarnIfLocksAreLocal(dev_t device, const std::string& path) {
  static std::vector<dev_t> checked;  // the library is used from one thread
  if (std::find(checked.begin(), checked.end(), device) != checked.end()) return;
  checked.push_back(device);
  const std::string option = LocalLockOption(CurrentEnv().ReadSystemFile("/proc/self/mountinfo"),
                                             major(device), minor(device));
  if (option.empty()) return;
  std::fprintf(stderr,
               "vexafol: warning: the mount of %s keeps file locks local to this computer (%s); "
               "other computers sharing the drawing store do not see them\n",
               path.c_str(), option.c_str());
}

}  // namespace vexa::platform
