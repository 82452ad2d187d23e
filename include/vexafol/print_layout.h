// The layout engine: a form plus print data become pages of positioned text
// runs, lines and boxes, in millimetres from the top-left corner of the paper.
// A painter only draws what it is given: every text already fits its cell.
//
// Text widths are measured as in a fixed-pitch Gothic face: a half-width
// character (ASCII, half-width katakana) is half an em wide, any other
// character one em (1 pt = 25.4 / 72 mm). Painting with such a face
// ("ＭＳ ゴシック", IPAGothic) keeps every text inside its cell.
#pragma once

#include <cstdint>
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

// Bounds on the work of one run, whatever the form and the data: a band
// whose page could hold more text runs, lines and boxes than
// kMaxPrintRunsPerPage, and a run whose pages would hold more than
// kMaxPrintRunsPerRun in all (or the caller's smaller bound), are refused when
// the run is planned, before anything is painted.
inline constexpr int64_t kMaxPrintRunsPerPage = 20000;
inline constexpr int64_t kMaxPrintRunsPerRun = 2000000;

// The most text runs, lines and boxes that a page of band with rows rows
// holds: the header and footer items, the form's lines, the band's heading,
// cells and rules.
VEXA_CORE_API int64_t PrintRunsOnPage(const PrintForm& form, const PrintFormBand& band, int rows);

// The pages of one run, laid out one at a time: Plan reads the records once
// to count the pages and check the run, LayOutPage then makes any page from
// the records it needs. Memory stays that of one page, whatever the number
// of pages.
//
// The records of each band of the form (GetRepeatCount, AcceptItem,
// GetSubRecCnt, GetRecordItem) fill pages of rowsPerPage rows, band after
// band; a page break comes after exactly rowsPerPage rows. Every page gets the
// header and footer items and the form's lines; "n / m" counts all pages.
// Without any record the run is one page with the header, the footer and the
// first band's heading. The data must answer the same between Plan and the
// pages, and must outlive the pager, as must jkn.
class VEXA_CORE_API PrintPager {
 public:
  // Plans the pages of form (copied) for data under the print conditions jkn
  // (may be null). On success returns true, error empty. On failure returns
  // false with error "<form path>[:<line>]: <what>": a band whose page could
  // hold more than kMaxPrintRunsPerPage runs, a column whose field code the
  // data answers for no record of its band (an unknown field code), a run of
  // more than maxRuns runs in all. Never throws (no memory: false).
  bool Plan(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
            const PrintPageTexts& texts, std::string& error, int64_t maxRuns = kMaxPrintRunsPerRun);

  // The pages of the last successful Plan (0 before one).
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Their texts, lines and boxes at the most, as the bound counts them.
  int64_t Runs() const { return runs_; }
  // The paper of the run; its pages are empty.
  const PrintLayout& Paper() const { return paper_; }
  // Replaces page with page index (0 to PageCount() - 1), in any order.
  // False (page empty) outside the pages or without memory. Never throws.
  bool LayOutPage(int index, PrintPage& page) const;

 private:
  // Where a page starts: a band and the position of its first row.
  struct PageStart {
    int band = 0;
    int record = 0;
    int sub = -1;
    bool empty = false;  // the one page of a run without rows
  };

  class Maker;  // lays out the rows of a band

  PrintForm form_;
  CPrintData* data_ = nullptr;
  const CJknSet* jkn_ = nullptr;
  PrintPageTexts texts_;
  PrintLayout paper_;
  std::vector<int> counts_;  // records of each band
  std::vector<PageStart> pages_;
  int64_t runs_ = 0;
};

// Every page of a run at once (see PrintPager), for lists small enough to
// hold all their pages in memory. On failure returns false with error as
// PrintPager::Plan sets it and layout unspecified. Never throws.
VEXA_CORE_API bool LayOutPrintForm(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
                                   const PrintPageTexts& texts, PrintLayout& layout,
                                   std::string& error);

// The measured width in millimetres of text at fontSize points.
VEXA_CORE_API double MeasurePrintText(const std::string& text, double fontSize);

// The longest leading part of text (whole characters) no wider than width mm.
VEXA_CORE_API std::string CutPrintText(const std::string& text, double fontSize, double width);

}  // namespace vexa
