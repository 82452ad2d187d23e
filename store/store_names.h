// The numbered names of the drawing store, formatted from the prefixes of
// vexafol/store_layout.h: drawing folders, page files, previews and backups.
#pragma once

#include <string>

namespace vexa::store {

// "Fol.%03d": the drawing folder of number.
std::string FolderName(int number);
// "pagefile.%03d": the page file of page (from 0).
std::string PageFileName(int page);
// "page%03d.bmp": the preview bitmap of page.
std::string PageBmpName(int page);
// "BKUP" for 0, else "BKUP.%03d".
std::string BackupName(int number);

// Numbers in store names and settings are read as C's atoi reads them: optional
// white space and sign, then the leading digits; 0 when there are none.
// Values beyond the int range are clamped to it.
int LeadingInt(const std::string& text);

}  // namespace vexa::store
