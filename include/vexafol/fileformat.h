// The two binary records of a drawing on disk: the drawing header (the whole
// content of "INDEX.VXF") and the page information at the head of every page
// file. Both hold their text as raw CP932 bytes, exactly as on disk; the
// accessors convert to and from UTF-8 at that boundary. The byte layouts are
// written out in docs/formats.md.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "vexafol/export.h"
#include "vexafol/file.h"
#include "vexafol/types.h"

namespace vexa {

static_assert(std::endian::native == std::endian::little,
              "the records are stored in the machine's byte order, which must be little-endian");

// The drawing header: 824 bytes, the same layout in memory and on disk. Text
// fields are NUL-terminated CP932 within their size.
struct VEXA_CORE_API VexaFileHeader {
  int32_t version{};  // the library presets 2; no reader checks it
  char title[128]{};
  int32_t pageCount{};  // page files 0 to pageCount - 1
  char memo[512]{};
  char creator[80]{};
  char updater[80]{};
  FILETIME createTime{};  // UTC
  FILETIME updateTime{};  // UTC

  // The text fields as UTF-8 (invalid CP932 becomes U+FFFD).
  std::string Title() const;
  std::string Memo() const;
  std::string Creator() const;
  std::string Updater() const;
  // Store UTF-8 text as CP932, cut at a character boundary to fit with its NUL.
  // False, and the field unchanged, when some character has no CP932 form.
  bool SetTitle(const std::string& utf8);
  bool SetMemo(const std::string& utf8);
  bool SetCreator(const std::string& utf8);
  bool SetUpdater(const std::string& utf8);
};

static_assert(sizeof(VexaFileHeader) == 824);
static_assert(offsetof(VexaFileHeader, version) == 0);
static_assert(offsetof(VexaFileHeader, title) == 4);
static_assert(offsetof(VexaFileHeader, pageCount) == 132);
static_assert(offsetof(VexaFileHeader, memo) == 136);
static_assert(offsetof(VexaFileHeader, creator) == 648);
static_assert(offsetof(VexaFileHeader, updater) == 728);
static_assert(offsetof(VexaFileHeader, createTime) == 808);
static_assert(offsetof(VexaFileHeader, updateTime) == 816);

// The page information of one page file, in memory. Readers fill only what the
// file holds, so callers preset it (all members start zero, caption empty).
struct VEXA_CORE_API VexaFilePageInfo {
  int32_t version{};
  char name[260]{};            // CP932, NUL-terminated
  char subName[260]{};         // CP932, NUL-terminated; empty when the page has none
  unsigned char block4[32]{};  // carried unchanged, not interpreted
  unsigned char block5[76]{};  // carried unchanged, not interpreted
  std::string caption;         // CP932, any length

  std::string Name() const;
  std::string SubName() const;
  std::string Caption() const;
  // As for VexaFileHeader; the caption has no length limit.
  bool SetName(const std::string& utf8);
  bool SetSubName(const std::string& utf8);
  bool SetCaption(const std::string& utf8);
};

// Reads min(file length, 824) bytes at the current position into header; bytes
// beyond keep the caller's values. Non-zero when all of them came, 0 on a short
// read. A read error throws FileException.
VEXA_CORE_API int ReadHeadFile(File& file, VexaFileHeader& header);
// Writes the 824 bytes. Non-zero on success, 0 when the write failed.
VEXA_CORE_API int WriteHeadFile(File& file, const VexaFileHeader& header);

// Reads page information in the fixed layout of its version (below 100) or in
// the tagged layout (100 and above) into info; fields the record does not hold
// keep the caller's values. Non-zero on success; 0 for a short or malformed
// record, with what was read before left in info. A read error throws
// FileException. Payloads are read in bounded pieces: the caption keeps its
// bytes up to the first NUL, a name at most its field's size less one byte (the
// last is always NUL, in both layouts), and the rest is skipped, so memory
// follows what is kept, not what a record claims.
VEXA_CORE_API int ReadPageFileInfo(File& file, VexaFilePageInfo& info);
// Writes info in the tagged layout, version 100. Non-zero on success, 0 at the
// first failed write.
VEXA_CORE_API int WritePageFileInfo(File& file, const VexaFilePageInfo& info);

}  // namespace vexa
