// The layout engine: a form plus print data become pages of positioned text
// runs, lines and boxes, in millimetres from the top-left corner of the paper.
// A painter only draws what it is given: every text already fits its cell.
//
// Text widths are measured as in a fixed-pitch Gothic face: a half-width
// character (ASCII, half-width katakana) is half an em wide, any other
// character one em (1 pt = 25.4 / 72 mm). Painting with such a face
// ("ＭＳ ゴシック", IPAGothic) keeps every text inside its cell.
#pragma once

#include <string>
#include <vector>

#include "vexafol/export.h"
#include "vexafol/print_form.h"

namespace vexa {

class CJknSet;
class CPrintData;

struct PrintRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

struct PrintTextRun {
  PrintRect rect;       // the cell: the text is vertically centred in it
  std::string text;     // UTF-8, already cut to fit the cell
  double fontSize = 9;  // points, already shrunk where the form asks for it
  PrintAlign align = PrintAlign::Left;
  unsigned long color = 0;  // 0x00BBGGRR
};

struct PrintLineRun {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  double width = 0.2;  // pen width
};

struct PrintBoxRun {
  PrintRect rect;
  double width = 0.2;  // pen width
};

struct PrintPage {
  std::vector<PrintTextRun> texts;
  std::vector<PrintLineRun> lines;
  std::vector<PrintBoxRun> boxes;
};

struct PrintLayout {
  double paperWidth = 0;  // as printed (landscape: the long side)
  double paperHeight = 0;
  bool landscape = false;
  std::string paperName;  // as in the form
  std::vector<PrintPage> pages;

  int PageCount() const { return static_cast<int>(pages.size()); }
};

// The texts that every page header and footer may show.
struct PrintPageTexts {
  std::string siteName;
  std::string title;      // empty: the form's title
  std::string printDate;  // empty: no date is printed
};

// Lays out the records of every band of form from data under the print
// conditions jkn (may be null). Each band's records (GetRepeatCount,
// AcceptItem, GetSubRecCnt, GetRecordItem) fill pages of rowsPerPage rows,
// band after band; a page break comes after exactly rowsPerPage rows. Every
// page gets the header and footer items and the form's lines; "n / m" counts
// all pages. Without any record the result is one page with the header, the
// footer and the first band's heading.
// On success returns true, error empty. On failure returns false with error
// "<form path>:<line>: <what>" and layout unspecified: a column whose field
// code the data answers for no record of its band (an unknown field code).
// Never throws.
VEXA_CORE_API bool LayOutPrintForm(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
                                   const PrintPageTexts& texts, PrintLayout& layout,
                                   std::string& error);

// The measured width in millimetres of text at fontSize points.
VEXA_CORE_API double MeasurePrintText(const std::string& text, double fontSize);

// The longest leading part of text (whole characters) no wider than width mm.
VEXA_CORE_API std::string CutPrintText(const std::string& text, double fontSize, double width);

}  // namespace vexa
