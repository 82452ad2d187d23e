// The form of a printed list: paper, margins, page header and footer, and one
// repeat band per repeat kind whose columns place record fields by field code.
// Forms are UTF-8 text files in INI syntax (".FMT" user forms, ".@MT" standard
// forms); docs/forms.md describes the format. Every length is in millimetres,
// every position relative to the top-left corner of the printable area (the
// paper inside the margins); font sizes are in points.
#pragma once

#include <string>
#include <vector>

#include "vexafol/export.h"

namespace vexa {

enum class PrintAlign { Left, Center, Right };

// What happens to a text wider than its cell: cut at the cell's edge, or
// printed smaller (down to half its size, and then cut).
enum class PrintFit { Cut, Shrink };

// What a header or footer item prints.
enum class PrintItemKind {
  SiteName,    // the site of the current work
  Title,       // the title of the print conditions, else the form's title
  PrintDate,   // today's date, when the print conditions ask for it
  PageNumber,  // "n / m"
  Text,        // a fixed text
  Field,       // CPrintData::GetItemStr of a field code
};

struct PrintFormItem {
  PrintItemKind kind = PrintItemKind::Text;
  int fieldCode = 0;  // PrintItemKind::Field only
  std::string text;   // PrintItemKind::Text only
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  PrintAlign align = PrintAlign::Left;
  double fontSize = 9;
  int line = 0;  // line of the form file that defined it
};

// A ruled line from (x1, y1) to (x2, y2), or a box when the form says so.
struct PrintFormLine {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  double width = 0.2;  // pen width
  bool box = false;    // (x1, y1) top-left, (x2, y2) bottom-right
};

struct PrintFormColumn {
  int fieldCode = 0;
  double x = 0;  // left edge, from the printable area's left
  double width = 0;
  PrintAlign align = PrintAlign::Left;
  double fontSize = 9;
  PrintFit fit = PrintFit::Cut;
  std::string heading;  // printed in the heading row
  int line = 0;         // line of the form file that defined it
};

// The rows of one repeat kind: rowsPerPage rows of rowHeight below an optional
// heading row, starting at top.
struct PrintFormBand {
  int repeatKind = 0;
  double top = 0;
  double headingHeight = 0;  // 0: no heading row
  double rowHeight = 0;
  int rowsPerPage = 0;
  bool ruleRows = false;     // a line under the heading and under every row
  bool ruleColumns = false;  // a box around the band and lines between columns
  std::vector<PrintFormColumn> columns;
  int line = 0;  // line of the band's section header
};

struct PrintForm {
  std::string path;       // the file it was read from
  std::string title;      // printed when the conditions give no title
  double paperWidth = 0;  // as printed: landscape has width > height
  double paperHeight = 0;
  bool landscape = false;
  std::string paperName;  // "A4", "B4", ... or "" for a size given in millimetres
  double marginLeft = 10;
  double marginTop = 10;
  double marginRight = 10;
  double marginBottom = 10;
  std::vector<PrintFormItem> header;
  std::vector<PrintFormItem> footer;
  std::vector<PrintFormLine> lines;
  std::vector<PrintFormBand> bands;  // in the file's order

  double PrintableWidth() const { return paperWidth - marginLeft - marginRight; }
  double PrintableHeight() const { return paperHeight - marginTop - marginBottom; }
  // The band of a repeat kind, or null.
  const PrintFormBand* FindBand(int repeatKind) const;
};

// Reads the form file at path into form. On success returns true and error is
// empty. On failure returns false, leaves form unspecified and sets error to
// one line "<path>:<line>: <what is wrong>" (without ":<line>" when the file
// as a whole is at fault: missing, unreadable, too large). Never throws.
VEXA_CORE_API bool ReadPrintForm(const std::string& path, PrintForm& form, std::string& error);

// The same for form text already in memory; path only names it in errors.
VEXA_CORE_API bool ParsePrintForm(const std::string& text, const std::string& path, PrintForm& form,
                                  std::string& error);

}  // namespace vexa
