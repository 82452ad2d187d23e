// FolderEnvironObj: a complete host environment backed by plain folders, for
// tests, the command-line tool and Linux applications. Layout under the root:
//
//   <root>/BIN        executables (path kind 0x1010000)
//   <root>/FORMS      print forms (0x2040000)
//   <root>/SETTINGS   settings such as VXWTDEF.INI (0x3040000)
//   <root>/DATA       data path (replaceable through the options), holding
//     RECYCCAD                                 the shared recycle folder
//     <work folder><ext>/<site><ext>/CAD/<code> application folders
//
// where <ext> is GetExtStr of the work folder / site number and <code> the
// application code of the path kind (AppFolderCode). The recycle folder's
// container names lead back to these folders: parent of RECYCCAD + the first
// two tokens + "CAD" (+ "JDN" or "CVL") + the third token.
// Per-user settings live in an INI file, by default
// $XDG_CONFIG_HOME/vexafol/userdata.ini (~/.config when XDG_CONFIG_HOME is unset).
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

struct FolderEnvironOptions {
  // Host kind 0 to 5 (GetAppType).
  unsigned long appType = 0;
  // Current work folder and site numbers (GetFNo, GetGNo).
  unsigned short folderNo = 1;
  unsigned short siteNo = 1;
  // Display names of the current work folder and site. "/", "[" and "]" would
  // break paths and recycle names; they are stored as "／", "［" and "］".
  std::string folderName = "WORK";
  std::string siteName = "SITE";
  // Data path; empty: <root>/DATA.
  std::string dataPath;
  // Per-user settings file; empty: the XDG location above.
  std::string userDataFile;
};

class VEXA_CORE_API FolderEnvironObj : public CEnvironObj {
 public:
  // root: the host's home; empty gives no home, executables, forms or settings
  // folder (and no data path unless the options name one).
  explicit FolderEnvironObj(const std::string& root, FolderEnvironOptions options = {});

  // Application folders for the path kinds 0x3030100 to 0x3030B00, the fixed
  // folders above for 0x1010000, 0x2040000 and 0x3040000; empty otherwise, and
  // empty application folders when there is no data path. No disk access.
  std::string GetPath(unsigned long kind) const override;
  std::string GetDataPath() const override;
  // The root for kind 0x3000000; empty for other kinds.
  std::string GetHomePath(unsigned long kind) const override;
  unsigned long GetAppType() const override;
  unsigned short GetFNo() const override;
  unsigned short GetGNo() const override;
  // The configured names for the current numbers in the own data path;
  // otherwise the base name of the folder in dataPath (or in the work folder)
  // whose extension number is the one asked for; empty when there is none.
  std::string GetFolderName(const std::string& dataPath, int folderNo) const override;
  std::string GetGenbaName(const std::string& dataPath, int folderNo, int siteNo) const override;
  // Key of section "<section>/<sub>" ("<section>" when sub is empty) in the
  // per-user settings file. Get: 1 and out set when the key exists, else 0 and
  // out untouched. Set: 1 when stored (the folder is created as needed).
  int GetUserDataStr(const std::string& section, const std::string& sub, const std::string& key,
                     std::string& out) const override;
  int SetUserDataStr(const std::string& section, const std::string& sub, const std::string& key,
                     const std::string& value) const override;

  // The folder code of an application path kind ("JDN" for 0x3030500); empty
  // for other kinds.
  static std::string AppFolderCode(unsigned long kind);
  // The per-user settings file in use (empty when no location is known).
  const std::string& UserDataFile() const { return userDataFile_; }

 private:
  // <data>/<work folder><ext>/<site><ext>/CAD, or "" without a data path.
  std::string CadFolder() const;
  // The base name of the entry of folder whose extension number is number.
  std::string NameByNumber(const std::string& folder, int number) const;

  std::string root_;
  FolderEnvironOptions options_;
  std::string userDataFile_;
  std::string cadFolder_;
};

}  // namespace vexa
