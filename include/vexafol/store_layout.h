// The layout of a drawing store on disk: the names of its folders and files,
// the range of drawing numbers, the pages a lock scan reads and the lock
// files with their lengths. Every layer that names a store entry or checks a
// number takes it from here.
//
//   <application folder>/
//     CADAPP.LOC          drawing lock file: byte n is drawing n
//     FOL%03d.LOC         page lock file of drawing n: byte p is page p
//     Fol.%03d/           drawing folder of drawing n (1 to 999)
//       INDEX.VXF         the drawing's record
//       pagefile.%03d     page p (from 0)
//       page%03d.bmp      preview of page p
//       BKUP, BKUP.%03d   backups of the drawing
//   <data path>/RECYCCAD/ the shared recycle folder; LOCK.TMP while it changes
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>

namespace vexa {

// Files and folders of a drawing.
inline constexpr const char kIndexFileName[] = "INDEX.VXF";
inline constexpr const char kDrawingFolderPrefix[] = "Fol.";
inline constexpr const char kPageFilePrefix[] = "pagefile.";
inline constexpr const char kPagePreviewPrefix[] = "page";
inline constexpr const char kPagePreviewSuffix[] = ".bmp";
inline constexpr const char kBackupName[] = "BKUP";
inline constexpr const char kRecycleName[] = "RECYCCAD";

// Lock files: one drawing lock file per application folder, one page lock
// file per drawing (prefix, three-digit drawing number, suffix), one recycle
// lock file inside the recycle folder. Their lengths are fixed.
inline constexpr const char kDrawingLockFileName[] = "CADAPP.LOC";
inline constexpr const char kPageLockFilePrefix[] = "FOL";
inline constexpr const char kLockFileSuffix[] = ".LOC";
inline constexpr const char kRecycleLockFileName[] = "LOCK.TMP";
inline constexpr uint64_t kDrawingLockFileLength = 1000;
inline constexpr uint64_t kPageLockFileLength = 501;
inline constexpr uint64_t kRecycleLockFileLength = 1;

// Drawing numbers as users see them and as the drawing lock file's bytes
// count them.
inline constexpr int kFirstDrawingNo = 1;
inline constexpr int kLastDrawingNo = 999;
// One bit per drawing number (bit 0 unused).
using DrawingNumberBits = std::bitset<kLastDrawingNo + 1>;

// A drawing counts as in use while one of its pages 0 to kScannedPages - 1 is
// held; page lock bytes beyond them are never scanned.
inline constexpr int kScannedPages = 500;
// The most pages a drawing's record may claim; larger counts are cut to it.
inline constexpr int kMaxPageCount = 1000;

// True for the names the locking protocol uses exactly as spelled, never
// matched ignoring case on disk: the drawing lock file, the recycle lock file
// and every "*.LOC" (compared ignoring ASCII case).
constexpr bool IsLockFileName(std::string_view name) {
  auto equalsNoCase = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
      if (x != b[i]) return false;
    }
    return true;
  };
  const std::string_view suffix = kLockFileSuffix;
  return equalsNoCase(name, kDrawingLockFileName) || equalsNoCase(name, kRecycleLockFileName) ||
         (name.size() >= suffix.size() &&
          equalsNoCase(name.substr(name.size() - suffix.size()), suffix));
}

}  // namespace vexa
