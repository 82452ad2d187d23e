#include "vexafol/folder_environ.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/env.h"
#include "platform/ini.h"
#include "vexafol/environ_kinds.h"

namespace vexa {
namespace {

struct AppFolder {
  unsigned long kind;
  const char* code;
};

// JDN (縦断) and CVL (土木) are the codes that the recycle scan spells itself;
// the others follow their style: a few consonants of the application's name.
constexpr AppFolder kAppFolders[] = {
    {kPathAppGeneral, "HNY"},       // 汎用
    {kPathAppLand, "YCH"},          // 用地
    {kPathAppControlPoint, "KJN"},  // 基準点
    {kPathAppRoute, "RSN"},         // 路線
    {kPathAppSection, "JDN"},       // 縦断 (rows JDN and ODN below it)
    {kPathAppBuilding, "TTM"},      // 建物
    {kPathAppCalculation, "KSN"},   // 計算
    {kPathAppCadastre, "CSK"},      // 地籍
    {kPathAppCivil, "CVL"},         // 土木 (row TNK below it)
};

std::string TrimTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Display names become path components and recycle tokens.
std::string SafeName(const std::string& name) {
  std::string safe;
  for (char c : name) {
    if (c == '/') {
      safe += "／";
    } else if (c == '[') {
      safe += "［";
    } else if (c == ']') {
      safe += "］";
    } else {
      safe += c;
    }
  }
  return safe;
}

std::string DefaultUserDataFile() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && config[0] == '/') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    folder = std::string(home) + "/.config";
  } else {
    return "";
  }
  return TrimTrailingSeparators(folder) + "/vexafol/userdata.ini";
}

std::string UserDataSection(const std::string& section, const std::string& sub) {
  return sub.empty() ? section : section + "/" + sub;
}

}  // namespace

FolderEnvironObj::FolderEnvironObj(const std::string& root, FolderEnvironOptions options)
    : root_(TrimTrailingSeparators(root)), options_(std::move(options)) {
  options_.folderName = SafeName(options_.folderName);
  options_.siteName = SafeName(options_.siteName);
  if (!options_.dataPath.empty()) {
    options_.dataPath = TrimTrailingSeparators(options_.dataPath);
  } else if (!root_.empty()) {
    options_.dataPath = root_;
    AddFileName(options_.dataPath, "DATA");
  }
  userDataFile_ = options_.userDataFile.empty() ? DefaultUserDataFile() : options_.userDataFile;
  // The options never change, so the folder that holds every application folder
  // is made once: the lock service asks for application folders on every call.
  cadFolder_ = CadFolder();
}

std::string FolderEnvironObj::AppFolderCode(unsigned long kind) {
  for (const AppFolder& folder : kAppFolders) {
    if (folder.kind == kind) return folder.code;
  }
  return "";
}

std::string FolderEnvironObj::CadFolder() const {
  if (options_.dataPath.empty()) return "";
  std::string path = options_.dataPath;
  AddFileName(path, options_.folderName + FolderEnvironObj::GetExtStr(options_.folderNo));
  AddFileName(path, options_.siteName + FolderEnvironObj::GetExtStr(options_.siteNo));
  AddFileName(path, "CAD");
  return path;
}

std::string FolderEnvironObj::GetPath(unsigned long kind) const {
  const char* fixed = kind == kPathExecutables ? "BIN"
                      : kind == kPathForms     ? "FORMS"
                      : kind == kPathSettings  ? "SETTINGS"
                                               : nullptr;
  if (fixed) {
    if (root_.empty()) return "";
    std::string path = root_;
    AddFileName(path, fixed);
    return path;
  }
  const std::string code = AppFolderCode(kind);
  if (code.empty() || cadFolder_.empty()) return "";
  std::string path = cadFolder_;
  AddFileName(path, code);
  return path;
}

std::string FolderEnvironObj::GetDataPath() const {
  return options_.dataPath;
}

std::string FolderEnvironObj::GetHomePath(unsigned long kind) const {
  return kind == kPathHome ? root_ : "";
}

unsigned long FolderEnvironObj::GetAppType() const {
  return options_.appType;
}
unsigned short FolderEnvironObj::GetFNo() const {
  return options_.folderNo;
}
unsigned short FolderEnvironObj::GetGNo() const {
  return options_.siteNo;
}

std::string FolderEnvironObj::NameByNumber(const std::string& folder, int number) const {
  std::vector<platform::DirEntry> entries;
  if (folder.empty() || platform::CurrentEnv().ListDir(folder, entries) != 0) return "";
  std::string best;
  for (const platform::DirEntry& entry : entries) {
    if (!entry.isDir || GetExtNumber(entry.name) != number) continue;
    if (best.empty() || entry.name < best) best = entry.name;
  }
  return best.empty() ? "" : GetBaseNameFromFileName(best);
}

std::string FolderEnvironObj::GetFolderName(const std::string& dataPath, int folderNo) const {
  if (TrimTrailingSeparators(dataPath) == options_.dataPath && folderNo == options_.folderNo) {
    return options_.folderName;
  }
  return NameByNumber(dataPath, folderNo);
}

std::string FolderEnvironObj::GetGenbaName(const std::string& dataPath, int folderNo,
                                           int siteNo) const {
  if (TrimTrailingSeparators(dataPath) == options_.dataPath && folderNo == options_.folderNo &&
      siteNo == options_.siteNo) {
    return options_.siteName;
  }
  const std::string folderName = GetFolderName(dataPath, folderNo);
  if (folderName.empty()) return "";
  std::string workFolder = dataPath;
  AddFileName(workFolder, folderName + GetExtStr(folderNo));
  return NameByNumber(workFolder, siteNo);
}

int FolderEnvironObj::GetUserDataStr(const std::string& section, const std::string& sub,
                                     const std::string& key, std::string& out) const {
  if (userDataFile_.empty()) return 0;
  // A value never holds a line break, so "\n" can only be the default: the key is missing.
  const std::string missing = "\n";
  std::string value =
      platform::GetProfileString(userDataFile_, UserDataSection(section, sub), key, missing);
  if (value == missing) return 0;
  out = std::move(value);
  return 1;
}

int FolderEnvironObj::SetUserDataStr(const std::string& section, const std::string& sub,
                                     const std::string& key, const std::string& value) const {
  if (userDataFile_.empty() || !CreateDir(userDataFile_, 0)) return 0;
  const std::string name = UserDataSection(section, sub);
  return platform::WriteProfileString(name.c_str(), key.c_str(), value.c_str(), userDataFile_) ? 1
                                                                                               : 0;
}

}  // namespace vexa
