// CEnvironObj: what the library needs of its host. Hosts derive from it and
// hand it to every call by const reference; the library never copies or frees it.
// Paths are UTF-8 with "/" separators.
#pragma once

#include <string>

#include "vexafol/export.h"

namespace vexa {

class VEXA_CORE_API CEnvironObj {
 public:
  virtual ~CEnvironObj() = default;

  // Folder of a path kind (environ_kinds.h): executables, print forms,
  // settings, and the application folders; empty if none.
  virtual std::string GetPath(unsigned long kind) const = 0;
  // Data path of the current work; empty if none.
  virtual std::string GetDataPath() const = 0;
  // Home path (kind kPathHome).
  virtual std::string GetHomePath(unsigned long kind) const = 0;
  // Host kind 0 to 5 (environ_kinds.h).
  virtual unsigned long GetAppType() const = 0;
  // Current work folder and site numbers.
  virtual unsigned short GetFNo() const = 0;
  virtual unsigned short GetGNo() const = 0;
  // Display names of a work folder and of a site.
  virtual std::string GetFolderName(const std::string& dataPath, int folderNo) const = 0;
  virtual std::string GetGenbaName(const std::string& dataPath, int folderNo, int siteNo) const = 0;
  // Per-user settings; non-zero on success.
  virtual int GetUserDataStr(const std::string& section, const std::string& sub,
                             const std::string& key, std::string& out) const = 0;
  virtual int SetUserDataStr(const std::string& section, const std::string& sub,
                             const std::string& key, const std::string& value) const = 0;

  // Appends name to path as one component ("a/b" + "c" -> "a/b/c").
  virtual void AddFileName(std::string& path, const std::string& name) const;
  // Last component ("a/b/c" -> "c").
  virtual std::string GetFileNameFromRelativePath(const std::string& path) const;
  // Parent directory ("a/b/c" -> "a/b"; empty at the top).
  virtual std::string GetDirNameFromRelativePath(const std::string& path) const;
  // Folder that holds a file (the same as the parent directory).
  virtual std::string GetPathNameFromRelativePath(const std::string& path) const;
  // Name without extension ("Fol.012" -> "Fol").
  virtual std::string GetBaseNameFromFileName(const std::string& name) const;
  // Extension with its dot ("Fol.012" -> ".012"; "" when there is none).
  virtual std::string GetExtNameFromFileName(const std::string& name) const;
  // Volume part ("/" for absolute paths, "" for relative ones) and the rest.
  virtual std::string GetVolumePath(const std::string& path) const;
  virtual std::string GetRelativePath(const std::string& path) const;
  // Below 0: nothing there; 0: a file; above 0: a directory. Store names (not
  // lock files) that are missing in their exact case match an entry that differs
  // only in ASCII case.
  virtual int IsExist(const std::string& path) const;
  // With 0: the folders on the way to the file path exist; with 1: the folder
  // itself exists. Non-zero on success.
  virtual int CreateDir(const std::string& path, int self) const;
  // With 1: the folder is removed with its contents. Non-zero on success.
  virtual int RemoveDir(const std::string& path, int recursive) const;
  // Extension text for n (".%03d").
  virtual std::string GetExtStr(int n) const;
  // Number of a name's extension (the inverse of GetExtStr); -1 if none.
  virtual int GetExtNumber(const std::string& name) const;
  // File-open dialog over folder: the chosen file relative to folder (append
  // it with AddFileName), empty on cancel. filter holds description and
  // pattern pairs ("ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT"); ext, when not empty,
  // preselects the pair of that extension; parent is a QWidget* or null.
  // Default: the process-wide hook of hooks.h (the UI library's Qt file
  // dialog); "" when none is installed.
  virtual std::string SelectOpenFile(void* parent, const std::string& folder,
                                     const std::string& filter, const std::string& ext,
                                     const std::string& title) const;
  // User-rights check (GateIsOpeAllowed); non-zero when allowed. Default: the
  // process-wide rights hook (allowed when none is set).
  virtual int IsOpeAllowed(unsigned long code) const;
};

}  // namespace vexa
