// The write-path setting in VXWTDEF.INI.
#include "vexafol/writepath.h"

#include <string>

#include "platform/ini.h"
#include "platform/sysinfo.h"
#include "store/store_names.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/senyou.h"

namespace vexa {

namespace {

constexpr char kIniName[] = "VXWTDEF.INI";
constexpr char kExeKey[] = "EXE";
constexpr char kAppIdKey[] = "APPID";
constexpr char kPathKey[] = "PATH";

std::string IniFile(const CEnvironObj& env) {
  std::string file = env.GetPath(kPathSettings);
  env.AddFileName(file, kIniName);
  return file;
}

std::string SectionName() {
  return platform::ComputerName() + "," + platform::UserName();
}

// path without its first prefixLength + 1 bytes (the application folder and the
// separator after it); never starts inside a UTF-8 character.
std::string RelativeToFolder(const std::string& path, size_t prefixLength) {
  size_t start = prefixLength + 1;
  while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
  return start < path.size() ? path.substr(start) : std::string();
}

}  // namespace

int GetVexaWritePath(const CEnvironObj& env, std::string& exe, std::string& path) {
  const std::string file = IniFile(env);
  const std::string section = SectionName();
  if (env.IsExist(file) != 0) return 0;

  const std::string exeName = platform::GetProfileString(file, section, kExeKey, "");
  if (exeName.empty()) return 0;
  exe = env.GetPath(kPathExecutables);
  env.AddFileName(exe, exeName);

  const std::string appId = platform::GetProfileString(file, section, kAppIdKey, "");
  if (appId.empty()) return 0;
  const int id = store::LeadingInt(appId);

  const std::string relative = platform::GetProfileString(file, section, kPathKey, "");
  if (relative.empty()) return 0;
  path = GetSenyouPath(env, id);
  env.AddFileName(path, relative);
  return 1;
}

int SetVexaWritePath(const CEnvironObj& env, const std::string& exe, const std::string& path) {
  const std::string file = IniFile(env);
  const std::string section = SectionName();
  bool written;
  if (path.empty()) {
    written = platform::WriteProfileString(section.c_str(), nullptr, nullptr, file);
  } else {
    const int id = GetPathToSenyouId(env, path);
    if (!env.CreateDir(file, 0)) return 0;
    const std::string exeName = env.GetFileNameFromRelativePath(exe);
    if (!platform::WriteProfileString(section.c_str(), kExeKey, exeName.c_str(), file)) return 0;
    const std::string appId = std::to_string(id);
    if (!platform::WriteProfileString(section.c_str(), kAppIdKey, appId.c_str(), file)) return 0;
    const std::string relative = RelativeToFolder(path, GetSenyouPath(env, id).size());
    written = platform::WriteProfileString(section.c_str(), kPathKey, relative.c_str(), file);
  }
  if (!written) return 0;
  platform::WriteProfileString(nullptr, nullptr, nullptr, file);
  return 1;
}

}  // namespace vexa
