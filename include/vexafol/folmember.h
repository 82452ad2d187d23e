// FolMember: one drawing folder in memory, and the functions that name every
// file and folder of the drawing store. All paths are joined and split through
// the host environment.
#pragma once

#include <cstdint>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/fileformat.h"
#include "vexafol/types.h"

namespace vexa {

struct VEXA_CORE_API FolMember {
  std::string path;  // the drawing folder ("…/Fol.NNN"), or a backup or recycled folder
  VexaFileHeader header;
  int32_t appId = 0;      // application whose folder holds the drawing
  int32_t lockState = 0;  // 0 free, 1 drawing in use, 2 only a page in use
  int32_t fileState = 0;  // 0 normal, 1 index file missing or unreadable, 2 read-only

  // Empty path, all header bytes zero, header version 2.
  FolMember();

  // Zero-based drawing number: the numeric extension of the folder name minus 1
  // (Fol.012 -> 11); a backup folder ("BKUP", "BKUP.NNN") counts as the drawing
  // that holds it. -1 when the name carries no number.
  int GetFolderNo(const CEnvironObj& env) const;
  // The drawing number users see: GetFolderNo + 1 (Fol.012 -> 12, also for its
  // backup folders).
  int GetDrawingNo(const CEnvironObj& env) const;
  // The path; with backup non-zero, its "BKUP" sub folder.
  std::string GetPath(const CEnvironObj& env, int backup) const;
  std::string GetIndexFile(const CEnvironObj& env, int backup) const;
  std::string GetPageFile(const CEnvironObj& env, int backup, int page) const;
  std::string GetPageBmpFile(const CEnvironObj& env, int backup, int page) const;
  // The header's creation / update time as local calendar time; out is left
  // unchanged when the time cannot be converted.
  void GetCreateSysTime(SYSTEMTIME& out) const;
  void GetUpdateSysTime(SYSTEMTIME& out) const;
  // The user's short date and time texts (UTF-8).
  static std::string GetDateString(const SYSTEMTIME& time);
  static std::string GetTimeString(const SYSTEMTIME& time);
};

// The number in the name of a drawing folder: the digits after the dot of the
// path's last component, read as atoi reads them and clamped to the int range
// ("…/Fol.012" -> 12, "Fol" -> 0, "Fol.12a" -> 12). A backup folder is read
// by its own name; FolMember::GetDrawingNo looks through it to its drawing.
VEXA_CORE_API int DrawingNumberOf(const CEnvironObj& env, const std::string& folderPath);

// Appends "INDEX.VXF" to a folder path.
VEXA_CORE_API void CreateIndexFileName(const CEnvironObj& env, std::string& path);
// Replaces a file path (the index file) by its folder plus "pagefile.%03d".
VEXA_CORE_API void CreatePageName(const CEnvironObj& env, std::string& path, int page);
// The same with "page%03d.bmp".
VEXA_CORE_API void CreatePageBmpName(const CEnvironObj& env, std::string& path, int page);
// Appends "BKUP" for number 0, else "BKUP.%03d".
VEXA_CORE_API void CreateBackupPath(const CEnvironObj& env, std::string& path, int number);
// Appends the drawing folder of number: "Fol.%03d".
VEXA_CORE_API void CreateDrawingFolderPath(const CEnvironObj& env, std::string& path, int number);
// Chooses a free drawing folder "Fol.NNN" (1 to 999) under base: one above the
// highest existing number while Fol.999 is free, else the lowest gap. On
// success *out is the full path and the result 1; when no number is free *out
// is emptied and the result 0. Only chooses: nothing is created or reserved.
VEXA_CORE_API int CreateFolderName(const CEnvironObj& env, const char* base, std::string* out);
// The recycle folder "RECYCCAD" in the data path (or, without one, the home
// path); empty when the host has neither.
VEXA_CORE_API std::string CreateRecycleCadHomePath(const CEnvironObj& env);

}  // namespace vexa
