// Every name of the drawing store in one place: drawing folders, index file,
// page files, previews, backup and recycle folders. Lock file names live with
// the lock records.
#pragma once

#include <string>
#include <string_view>

namespace vexa::store {

inline constexpr const char kIndexFileName[] = "INDEX.VXF";
inline constexpr const char kBackupName[] = "BKUP";
inline constexpr const char kRecycleName[] = "RECYCCAD";

// "Fol.%03d": the drawing folder of number (1 to 999).
std::string FolderName(int number);
// "pagefile.%03d": the page file of page (from 0).
std::string PageFileName(int page);
// "page%03d.bmp": the preview bitmap of page.
std::string PageBmpName(int page);
// "BKUP" for 0, else "BKUP.%03d".
std::string BackupName(int number);

// Store names compare without regard to ASCII case (stores are shared with
// Windows machines); other bytes compare exactly.
bool NameEqualsNoCase(std::string_view a, std::string_view b);

}  // namespace vexa::store
