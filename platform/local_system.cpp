#include "vexafol/local_system.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/env.h"

namespace vexa {

using platform::CurrentEnv;

std::string LoginName() {
  return CurrentEnv().UserName();
}

std::string UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return data;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return "";
}

int ListFolder(const std::string& folder, std::vector<std::string>& names) {
  std::vector<platform::DirEntry> entries;
  const int rc = CurrentEnv().ListDir(folder, entries);
  for (platform::DirEntry& entry : entries) names.push_back(std::move(entry.name));
  return rc;
}

std::string ReadSmallFile(const std::string& path) {
  return CurrentEnv().ReadSystemFile(path);
}

bool FileIdentity(const std::string& path, uint64_t& device, uint64_t& inode) {
  struct stat st;
  if (CurrentEnv().Stat(path, st) < 0) return false;
  device = st.st_dev;
  inode = st.st_ino;
  return true;
}

long ThisProcessId() {
  return static_cast<long>(getpid());
}

}  // namespace vexa
