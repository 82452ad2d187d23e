// The host's form printing framework, core part: the folders of forms, print
// conditions and their manager, print device settings, site information, and
// the print data interface through which a list hands its records to a form.
// The forms themselves are in print_form.h, the layout engine in
// print_layout.h; the UI library's CPrintMan paints and previews the pages.
//
// A selection call carries a CFormPathList, a CJknMan and optionally a
// CFormPrintData through to the drawing-list printing; the print button is
// offered when a form path list and a condition manager are both given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/print_form.h"
#include "vexafol/print_layout.h"
#include "vexafol/types.h"

namespace vexa {

// The folders in which the host keeps its print forms, in search order.
class VEXA_CORE_API CFormPathList {
 public:
  virtual ~CFormPathList() = default;

  void AddPath(const std::string& folder);
  int GetCount() const { return static_cast<int>(folders_.size()); }
  // The folder at index, or "" outside 0 to GetCount() - 1.
  std::string GetPath(int index) const;
  // The full path of the form file name in the first folder that holds it as a
  // file (env.IsExist == 0); "" when no folder does.
  std::string FindForm(const CEnvironObj& env, const std::string& name) const;

 private:
  std::vector<std::string> folders_;
};

// Names of the print conditions that AddJknPrint adds.
inline constexpr const char* kJknTitle = "TITLE";          // title text; "" the form's
inline constexpr const char* kJknPrintDate = "PRINTDATE";  // "1" prints today's date
inline constexpr const char* kJknPrintSite = "PRINTSITE";  // "1" prints the site name

// A set of print conditions: named text values in the order they were added.
// Names compare without regard to ASCII case.
class VEXA_CORE_API CJknSet {
 public:
  virtual ~CJknSet() = default;

  // Empties the set.
  void InitJkn();
  // Sets a condition, adding it at the end when missing.
  void SetJkn(const std::string& name, const std::string& value);
  // Adds a condition with its default; an existing one keeps its value.
  void AddJkn(const std::string& name, const std::string& defaultValue);
  bool HasJkn(const std::string& name) const;
  // The value of a condition, or def when the set has none of that name.
  std::string GetJkn(const std::string& name, const std::string& def = "") const;
  int GetCount() const { return static_cast<int>(items_.size()); }
  // Name and value at index; "" outside 0 to GetCount() - 1.
  std::string GetName(int index) const;
  std::string GetValue(int index) const;

  // The print conditions of AddJknPrint.
  std::string GetTitle() const { return GetJkn(kJknTitle); }
  bool IsPrintDate() const { return GetJkn(kJknPrintDate) == "1"; }
  bool IsPrintSite() const { return GetJkn(kJknPrintSite) == "1"; }

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

// Adds the print conditions with their defaults (no own title, date and site
// printed); conditions already in the set keep their values.
VEXA_CORE_API void AddJknPrint(CJknSet& jkn);
// Makes loaded print conditions usable: a flag that is not "0" becomes "1", a
// title loses line breaks and surrounding blanks, missing ones get their
// defaults. Returns 1.
VEXA_CORE_API int ModifyJknPrint(CJknSet& jkn);

// Keeps saved print conditions. Made without an environment it keeps them for
// its own lifetime; made with one, in the host's user settings, section name,
// sub-section "JKN" (the environment must outlive the manager).
class VEXA_CORE_API CJknMan {
 public:
  CJknMan() = default;
  CJknMan(const CEnvironObj& env, std::string name);
  virtual ~CJknMan() = default;

  // Sets every condition of jkn that the manager has a saved value for; the
  // others keep theirs. Returns the number of conditions set.
  int LoadJkn(CJknSet& jkn) const;
  // Saves every condition of jkn. Returns 1, or 0 when the user settings could
  // not be written (the conditions are then kept in memory only).
  int SaveJkn(const CJknSet& jkn);

 private:
  const CEnvironObj* env_ = nullptr;
  std::string name_;
  CJknSet saved_;
};

// Print device settings of form runs. Empty or out-of-range values stand for
// "as the form says".
class VEXA_CORE_API CFormPrintData {
 public:
  virtual ~CFormPrintData() = default;

  std::string printerName;  // "" the default printer
  std::string paperName;    // "" the form's paper; else "A3", "A4", "B4", ...
  int orientation = 0;      // 0 the form's, 1 portrait, 2 landscape
  int copies = 1;           // 1 to 999
  double marginLeft = -1;   // millimetres; negative: the form's margin
  double marginTop = -1;
  double marginRight = -1;
  double marginBottom = -1;

  // Loads the settings saved under name from the host's user settings (section
  // name, sub-section "DEVICE"). Returns 1 when settings were saved under the
  // name; a value that is missing or out of range keeps its current value.
  // Returns 0 and changes nothing when none were saved.
  int LoadPrintData(const CEnvironObj& env, const std::string& name);
  // Saves the settings under name. Returns 1, or 0 when the user settings
  // could not be written.
  int SavePrintData(const CEnvironObj& env, const std::string& name) const;
};

// Site information of the current work, read from the environment.
class VEXA_CORE_API CPrintGenbaInfo {
 public:
  // env must outlive LoadInfo.
  explicit CPrintGenbaInfo(const CEnvironObj& env);
  virtual ~CPrintGenbaInfo() = default;

  // Reads the data path, the work folder and site numbers and their names.
  // Returns 1 when the site has a name, 0 otherwise (the names are then empty).
  int LoadInfo();

  const std::string& GetDataPath() const { return dataPath_; }
  int GetFolderNo() const { return folderNo_; }
  int GetSiteNo() const { return siteNo_; }
  const std::string& GetFolderName() const { return folderName_; }
  const std::string& GetSiteName() const { return siteName_; }

 private:
  const CEnvironObj* env_;
  std::string dataPath_;
  int folderNo_ = 0;
  int siteNo_ = 0;
  std::string folderName_;
  std::string siteName_;
};

// The page data of a run: what every page header and footer shows of the site.
// Keeps a copy of the site information.
class VEXA_CORE_API CPrintPageDataGenba {
 public:
  explicit CPrintPageDataGenba(const CPrintGenbaInfo& info);
  virtual ~CPrintPageDataGenba() = default;

  const CPrintGenbaInfo& GetInfo() const { return info_; }
  // The header and footer texts under the conditions jkn: the site name when
  // it is to be printed, the title, and today's date (the user's short date)
  // when it is to be printed.
  PrintPageTexts GetPageTexts(const CJknSet& jkn, const SYSTEMTIME& today) const;

 private:
  CPrintGenbaInfo info_;
};

// The records a list hands to a form. Repeat kinds group records (one band of
// the form per kind); field codes name the fields of a record. The layout
// engine lays out top-level bands, for which parentIndex is always -1, and
// prints a record's sub-records as rows below it (subIndex 0 and up; -1 is the
// record itself).
class VEXA_CORE_API CPrintData {
 public:
  virtual ~CPrintData() = default;

  // Adds the data's own print conditions to jkn. The base adds none.
  virtual void InitJkn(CJknSet& jkn);
  // The full path of the form file: 1 with out set, 0 when there is none. The
  // base has none.
  virtual int GetFormFile(std::string& out);
  // Reads the form of GetFormFile: 1 with form set and error empty, 0 with
  // error set as ReadPrintForm sets it.
  virtual int GetForm(PrintForm& form, std::string& error);
  // The number of records of a repeat kind. The base has none.
  virtual int GetRepeatCount(int repeatKind, int parentIndex);
  // The number of sub-records of a record. The base has none.
  virtual int GetSubRecCnt(int repeatKind, int recordIndex);
  // One field of a record: sets text (and *color, 0x00BBGGRR, when the data
  // colours it and color is not null) and returns 1; -1 with text untouched
  // when the record or the field code is not the data's. The base knows none.
  virtual signed char GetRecordItem(int repeatKind, int parentIndex, int fieldCode, int recordIndex,
                                    int subIndex, std::string& text, unsigned long* color);
  // Whether a record (or sub-record) is printed under the conditions jkn
  // (null when there are none): non-zero prints it. The base prints all.
  virtual int AcceptItem(int repeatKind, int parentIndex, int recordIndex, int subIndex,
                         const CJknSet* jkn);
  // Called once before a layout starts. The base does nothing.
  virtual void InitItem();
  // A single field of the page header or footer: 1 with text set, 0 when the
  // data has no such field. The base has none.
  virtual int GetItemStr(int fieldCode, std::string& text);
  // Non-zero when the data adds one closing row (a total, say) after the
  // records of a repeat kind, whose fields AddItem gives. The base adds none.
  virtual int IsAddElement(int repeatKind);
  // One field of that closing row: 1 with text set, -1 with text untouched
  // when the row has no such field.
  virtual int AddItem(int repeatKind, int fieldCode, std::string& text);
};

}  // namespace vexa
