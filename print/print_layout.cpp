// The layout engine: a run is planned once (its pages counted from the
// records), then each page is laid out from the record it starts with, so
// that only one page is ever held.
#include <algorithm>
#include <new>

#include "vexafol/print.h"

namespace vexa {
namespace {

constexpr double kCellPadding = 0.8;  // mm between a cell's text and its edges
constexpr double kRulePen = 0.2;      // mm
constexpr double kBoxPen = 0.3;       // mm
constexpr double kSmallestShrink = 0.5;
constexpr const char* kEllipsis = "…";

// A cell's text on one line: line breaks (a memo may hold them) become blanks.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return text;
}

// A text run for text in the cell, cut or shrunk to its width.
PrintTextRun FitText(const std::string& text, const PrintRect& cell, double fontSize,
                     PrintAlign align, PrintFit fit) {
  PrintTextRun run;
  run.rect = {cell.x + kCellPadding, cell.y, std::max(0.0, cell.width - 2 * kCellPadding),
              cell.height};
  run.align = align;
  run.fontSize = fontSize;
  run.text = OneLine(text);
  const double width = MeasurePrintText(run.text, fontSize);
  if (width <= run.rect.width) return run;
  if (fit == PrintFit::Shrink) {
    run.fontSize = std::max(fontSize * kSmallestShrink, fontSize * run.rect.width / width);
  }
  // What is cut away is marked by an ellipsis, so that a cut memo or name
  // never reads as the whole text.
  const double ellipsis = MeasurePrintText(kEllipsis, run.fontSize);
  run.text = run.rect.width >= ellipsis
                 ? CutPrintText(run.text, run.fontSize, run.rect.width - ellipsis) + kEllipsis
                 : CutPrintText(run.text, run.fontSize, run.rect.width);
  return run;
}

}  // namespace

// Walks the rows of one band from a position: the accepted records with
// their sub-records, then the data's closing row. Places rows on a page.
class PrintPager::Maker {
 public:
  Maker(const PrintPager& pager, int band)
      : pager_(pager),
        form_(pager.form_),
        data_(*pager.data_),
        band_(form_.bands[static_cast<size_t>(band)]),
        count_(pager.counts_[static_cast<size_t>(band)]) {}

  // Moves (record, sub) to the next printed row at or after it: a record row
  // (record < count), the closing row (record == count); false at the end.
  bool Seek(int& record, int& sub) const {
    const int kind = band_.repeatKind;
    while (record < count_) {
      const int subCount = std::max(0, data_.GetSubRecCnt(kind, record));
      for (; sub < subCount; ++sub) {
        if (data_.AcceptItem(kind, -1, record, sub, pager_.jkn_)) return true;
      }
      ++record;
      sub = -1;
    }
    return record == count_ && data_.IsAddElement(kind);
  }

  // The position after the row at (record, sub).
  void Advance(int& record, int& sub) const {
    if (record < count_) {
      ++sub;
    } else {
      ++record;
    }
  }

  // Asks the data for the field of each column not yet answered at the row
  // (record, sub), and marks those it answers.
  void MarkAnswered(int record, int sub, std::vector<bool>& answered) const {
    std::string text;
    unsigned long color = 0;
    for (size_t i = 0; i < band_.columns.size(); ++i) {
      if (answered[i]) continue;
      answered[i] = data_.GetRecordItem(band_.repeatKind, -1, band_.columns[i].fieldCode, record,
                                        sub, text, &color) >= 0;
    }
  }

  const PrintFormBand& Band() const { return band_; }

  // Lays out the page that starts at (record, sub): heading, rows, rules.
  void MakePage(int record, int sub, bool empty, PrintPage& page) {
    page_ = &page;
    page.texts.reserve(band_.columns.size() * (band_.rowsPerPage + 1) + form_.header.size() +
                       form_.footer.size());
    StartPage();
    for (int row = 0; !empty && row < band_.rowsPerPage && Seek(record, sub); ++row) {
      PlaceRow(record, sub);
      Advance(record, sub);
    }
    CloseRules();
  }

  // Header, footer and the form's lines of page number (from 1) of pageCount.
  void AddFrame(int number, int pageCount) {
    PrintPage& page = *page_;
    for (const std::vector<PrintFormItem>* items : {&form_.header, &form_.footer}) {
      for (const PrintFormItem& item : *items) {
        const std::string text = ItemText(item, number, pageCount);
        if (text.empty()) continue;
        const PrintRect cell{form_.marginLeft + item.x, form_.marginTop + item.y, item.width,
                             item.height};
        page.texts.push_back(FitText(text, cell, item.fontSize, item.align, PrintFit::Shrink));
      }
    }
    for (const PrintFormLine& line : form_.lines) {
      const double x1 = form_.marginLeft + line.x1;
      const double y1 = form_.marginTop + line.y1;
      const double x2 = form_.marginLeft + line.x2;
      const double y2 = form_.marginTop + line.y2;
      if (line.box) {
        page.boxes.push_back({{x1, y1, x2 - x1, y2 - y1}, line.width});
      } else {
        page.lines.push_back({x1, y1, x2, y2, line.width});
      }
    }
  }

 private:
  std::string ItemText(const PrintFormItem& item, int page, int pageCount) {
    const PrintPageTexts& texts = pager_.texts_;
    std::string text;
    switch (item.kind) {
      case PrintItemKind::SiteName:
        return texts.siteName;
      case PrintItemKind::Title:
        return texts.title.empty() ? form_.title : texts.title;
      case PrintItemKind::PrintDate:
        return texts.printDate;
      case PrintItemKind::PageNumber:
        return std::to_string(page) + " / " + std::to_string(pageCount);
      case PrintItemKind::Text:
        return item.text;
      case PrintItemKind::Field:
        if (!data_.GetItemStr(item.fieldCode, text)) text.clear();
        return text;
    }
    return text;
  }

  double Left() const {
    double left = band_.columns.front().x;
    for (const PrintFormColumn& column : band_.columns) left = std::min(left, column.x);
    return form_.marginLeft + left;
  }

  double Right() const {
    double right = 0;
    for (const PrintFormColumn& column : band_.columns) {
      right = std::max(right, column.x + column.width);
    }
    return form_.marginLeft + right;
  }

  double HeadingTop() const { return form_.marginTop + band_.top; }
  double RowTop(int row) const {
    return HeadingTop() + band_.headingHeight + row * band_.rowHeight;
  }

  void StartPage() {
    rowsOnPage_ = 0;
    if (band_.headingHeight <= 0) return;
    for (const PrintFormColumn& column : band_.columns) {
      if (column.heading.empty()) continue;
      const PrintRect cell{form_.marginLeft + column.x, HeadingTop(), column.width,
                           band_.headingHeight};
      page_->texts.push_back(
          FitText(column.heading, cell, column.fontSize, PrintAlign::Center, PrintFit::Shrink));
    }
    if (band_.ruleRows) {
      page_->lines.push_back({Left(), RowTop(0), Right(), RowTop(0), kRulePen});
    }
  }

  // The box around the band's heading and rows of the page and the lines
  // between its columns.
  void CloseRules() {
    if (!band_.ruleColumns) return;
    const double top = HeadingTop();
    const double bottom = RowTop(rowsOnPage_);
    if (bottom <= top) return;
    page_->boxes.push_back({{Left(), top, Right() - Left(), bottom - top}, kBoxPen});
    for (const PrintFormColumn& column : band_.columns) {
      const double x = form_.marginLeft + column.x;
      if (x > Left()) page_->lines.push_back({x, top, x, bottom, kRulePen});
    }
  }

  // Places the row at (record, sub): a record's fields, or the closing row's.
  void PlaceRow(int record, int sub) {
    const double top = RowTop(rowsOnPage_);
    for (const PrintFormColumn& column : band_.columns) {
      std::string text;
      unsigned long color = 0;
      const bool answered = record < count_
                                ? data_.GetRecordItem(band_.repeatKind, -1, column.fieldCode,
                                                      record, sub, text, &color) >= 0
                                : data_.AddItem(band_.repeatKind, column.fieldCode, text) >= 0;
      if (!answered || text.empty()) continue;
      const PrintRect cell{form_.marginLeft + column.x, top, column.width, band_.rowHeight};
      page_->texts.push_back(FitText(text, cell, column.fontSize, column.align, column.fit));
      page_->texts.back().color = color;
    }
    ++rowsOnPage_;
    if (band_.ruleRows) {
      page_->lines.push_back({Left(), RowTop(rowsOnPage_), Right(), RowTop(rowsOnPage_), kRulePen});
    }
  }

  const PrintPager& pager_;
  const PrintForm& form_;
  CPrintData& data_;
  const PrintFormBand& band_;
  const int count_;
  PrintPage* page_ = nullptr;
  int rowsOnPage_ = 0;
};

int64_t PrintRunsOnPage(const PrintForm& form, const PrintFormBand& band, int rows) {
  const auto columns = static_cast<int64_t>(band.columns.size());
  int64_t runs = static_cast<int64_t>(form.header.size() + form.footer.size() + form.lines.size());
  runs += columns * (rows + (band.headingHeight > 0 ? 1 : 0));
  if (band.ruleRows) runs += rows + 1;
  if (band.ruleColumns) runs += columns + 1;
  return runs;
}

bool PrintPager::Plan(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
                      const PrintPageTexts& texts, std::string& error, int64_t maxRuns) try {
  pages_.clear();
  counts_.clear();
  runs_ = 0;
  error.clear();
  form_ = form;
  data_ = &data;
  jkn_ = jkn;
  texts_ = texts;
  paper_ = PrintLayout{};
  paper_.paperWidth = form.paperWidth;
  paper_.paperHeight = form.paperHeight;
  paper_.landscape = form.landscape;
  paper_.paperName = form.paperName;
  if (form.bands.empty()) {
    error = form.path + ": 帳票に繰り返しの部分がありません";
    return false;
  }
  data.InitItem();
  int64_t runs = 0;
  for (size_t b = 0; b < form.bands.size(); ++b) {
    const PrintFormBand& band = form.bands[b];
    if (band.columns.empty() || band.rowsPerPage < 1) {
      error = form.path + ":" + std::to_string(band.line) + ": 繰り返しの部分に列か行がありません";
      break;
    }
    const int64_t pageRuns = PrintRunsOnPage(form, band, band.rowsPerPage);
    if (pageRuns > kMaxPrintRunsPerPage) {
      error = form.path + ":" + std::to_string(band.line) + ": [Repeat" +
              std::to_string(band.repeatKind) + "]: " + std::to_string(band.columns.size()) +
              " 列 " + std::to_string(band.rowsPerPage) + " 行の 1 ページには文字列と線が最大 " +
              std::to_string(pageRuns) + " 個あり、1 ページの上限 " +
              std::to_string(kMaxPrintRunsPerPage) + " 個を超えます";
      break;
    }
    counts_.push_back(std::max(0, data.GetRepeatCount(band.repeatKind, -1)));
    const Maker maker(*this, static_cast<int>(b));
    std::vector<bool> answered(band.columns.size(), false);
    bool anyRecord = false;
    int record = 0;
    int sub = -1;
    while (error.empty() && maker.Seek(record, sub)) {
      pages_.push_back({static_cast<int>(b), record, sub, false});
      int rows = 0;
      for (; rows < band.rowsPerPage && maker.Seek(record, sub); ++rows) {
        if (record < counts_.back()) {
          anyRecord = true;
          maker.MarkAnswered(record, sub, answered);
        }
        maker.Advance(record, sub);
      }
      runs += PrintRunsOnPage(form, band, rows);
      if (runs > maxRuns) {
        error = form.path + ": 一覧の文字列と線が " + std::to_string(maxRuns) +
                " 個を超えます (ここまで " + std::to_string(pages_.size()) +
                " ページ)。一度に印刷できる量を超えるので、図面を減らすか、列の少ない帳票で"
                "印刷してください";
      }
    }
    for (size_t i = 0; error.empty() && anyRecord && i < band.columns.size(); ++i) {
      if (answered[i]) continue;
      error = form.path + ":" + std::to_string(band.columns[i].line) + ": 項目コード " +
              std::to_string(band.columns[i].fieldCode) + " は繰り返しの種類 " +
              std::to_string(band.repeatKind) + " のデータにありません";
    }
    if (!error.empty()) break;
  }
  if (error.empty() && pages_.empty()) {
    pages_.push_back({0, 0, -1, true});
    runs += PrintRunsOnPage(form, form.bands.front(), 0);
  }
  if (error.empty()) {
    runs_ = runs;
    return true;
  }
  pages_.clear();
  return false;
} catch (const std::bad_alloc&) {
  pages_.clear();
  error = form.path + ": 一覧を配置するためのメモリーが足りません";
  return false;
}

bool PrintPager::LayOutPage(int index, PrintPage& page) const try {
  page = PrintPage{};
  if (index < 0 || index >= PageCount()) return false;
  const PageStart& start = pages_[static_cast<size_t>(index)];
  Maker maker(*this, start.band);
  maker.MakePage(start.record, start.sub, start.empty, page);
  maker.AddFrame(index + 1, PageCount());
  return true;
} catch (const std::bad_alloc&) {
  page = PrintPage{};
  return false;
}

bool LayOutPrintForm(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
                     const PrintPageTexts& texts, PrintLayout& layout, std::string& error) try {
  PrintPager pager;
  if (!pager.Plan(form, data, jkn, texts, error)) return false;
  layout = pager.Paper();
  layout.pages.resize(static_cast<size_t>(pager.PageCount()));
  for (int i = 0; i < pager.PageCount(); ++i) {
    if (!pager.LayOutPage(i, layout.pages[static_cast<size_t>(i)])) {
      error = form.path + ": 一覧を配置するためのメモリーが足りません";
      return false;
    }
  }
  return true;
} catch (const std::bad_alloc&) {
  layout = PrintLayout{};
  error = form.path + ": 一覧を配置するためのメモリーが足りません";
  return false;
}

}  // namespace vexa
