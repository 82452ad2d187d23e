// ZmnListPrint: the print data of a drawing list. Each drawing is one record
// of repeat kind 32 with nine fields, codes 256 to 264, that a form places.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"
#include "vexafol/print.h"

namespace vexa {

inline constexpr int kZmnListRepeatKind = 32;
inline constexpr int kZmnFieldNumber = 0x100;       // "%d" of the drawing number, no backup marks
inline constexpr int kZmnFieldTitle = 0x101;        // drawing name
inline constexpr int kZmnFieldApplication = 0x102;  // short title of the application
inline constexpr int kZmnFieldPageCount = 0x103;    // "%d"
inline constexpr int kZmnFieldCreator = 0x104;
inline constexpr int kZmnFieldUpdater = 0x105;
inline constexpr int kZmnFieldCreateDate = 0x106;  // the user's short date
inline constexpr int kZmnFieldUpdateDate = 0x107;
inline constexpr int kZmnFieldMemo = 0x108;

// The standard drawing-list form (A4 landscape), installed with the library.
inline constexpr const char* kZmnListStandardForm = "ZMNLIST.@MT";

// The folder of the drawing-list forms: the host's forms folder (path kind
// 0x2040000) + "CAD" + "812101"; "" when the host has no forms folder.
VEXA_CORE_API std::string GetZmnListFormFolder(const CEnvironObj& env);

// Puts the standard drawing-list form into that folder, creating the folders
// as needed, unless a file of its name is there already (it is never
// replaced: a host may keep its own edited copy). Returns 1 when the folder
// holds the form afterwards; 0 when the host has no forms folder or it cannot
// be written.
VEXA_CORE_API int InstallZmnListForm(const CEnvironObj& env);

class VEXA_CORE_API ZmnListPrint : public CPrintData {
 public:
  // members: count drawings in print order; neither they nor env are owned and
  // both must outlive the print data. A null members prints nothing.
  ZmnListPrint(std::string formFile, const FolMember* const* members, int count,
               const CEnvironObj& env);

  // out = the form file; returns 1.
  int GetFormFile(std::string& out) override;
  // Kind 32: the member count (0 without members); any other kind: 1.
  int GetRepeatCount(int repeatKind, int parentIndex) override;
  // Kind 32, a record index below the count with a member, a code 256 to 264:
  // text = that field, returns 1. Otherwise -1 and text untouched.
  signed char GetRecordItem(int repeatKind, int parentIndex, int fieldCode, int recordIndex,
                            int subIndex, std::string& text, unsigned long* color) override;
  // Every record is printed: returns 1.
  int AcceptItem(int repeatKind, int parentIndex, int recordIndex, int subIndex,
                 const CJknSet* jkn) override;

 private:
  std::string formFile_;
  const FolMember* const* members_;
  int count_;
  const CEnvironObj* env_;
};

}  // namespace vexa
