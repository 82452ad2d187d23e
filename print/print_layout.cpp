// The layout engine: bands of records become pages of rows, then every page
// gets its header, footer and ruled lines once the page count is known.
#include <algorithm>

#include "vexafol/print.h"

namespace vexa {
namespace {

constexpr double kCellPadding = 0.8;  // mm between a cell's text and its edges
constexpr double kRulePen = 0.2;      // mm
constexpr double kBoxPen = 0.3;       // mm
constexpr double kSmallestShrink = 0.5;

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
  run.text = CutPrintText(run.text, run.fontSize, run.rect.width);
  return run;
}

class Layouter {
 public:
  Layouter(const PrintForm& form, CPrintData& data, const CJknSet* jkn, PrintLayout& layout)
      : form_(form), data_(data), jkn_(jkn), layout_(layout) {}

  // Lays out the records of one band; false with error for an unknown field code.
  bool LayOutBand(const PrintFormBand& band, std::string& error) {
    band_ = &band;
    rowsOnPage_ = -1;  // the band starts on a new page
    std::vector<bool> answered(band.columns.size(), false);
    bool anyRecord = false;
    const int count = std::max(0, data_.GetRepeatCount(band.repeatKind, -1));
    for (int record = 0; record < count; ++record) {
      const int subCount = std::max(0, data_.GetSubRecCnt(band.repeatKind, record));
      for (int sub = -1; sub < subCount; ++sub) {
        if (!data_.AcceptItem(band.repeatKind, -1, record, sub, jkn_)) continue;
        anyRecord = true;
        PlaceRow([&](const PrintFormColumn& column, size_t index, std::string& text,
                     unsigned long& color) {
          if (data_.GetRecordItem(band.repeatKind, -1, column.fieldCode, record, sub, text,
                                  &color) < 0) {
            return false;
          }
          answered[index] = true;
          return true;
        });
      }
    }
    if (data_.IsAddElement(band.repeatKind)) {
      PlaceRow([&](const PrintFormColumn& column, size_t, std::string& text, unsigned long&) {
        return data_.AddItem(band.repeatKind, column.fieldCode, text) >= 0;
      });
    }
    if (rowsOnPage_ >= 0) CloseRules();
    if (!anyRecord) return true;
    for (size_t i = 0; i < band.columns.size(); ++i) {
      if (answered[i]) continue;
      error = form_.path + ":" + std::to_string(band.columns[i].line) + ": field code " +
              std::to_string(band.columns[i].fieldCode) +
              " is unknown to the data of repeat kind " + std::to_string(band.repeatKind);
      return false;
    }
    return true;
  }

  // One page with only the first band's heading, for data without records.
  void LayOutEmpty() {
    band_ = &form_.bands.front();
    StartPage();
    CloseRules();
  }

  // Header, footer and the form's lines on every page.
  void AddPageFrames(const PrintPageTexts& texts) {
    const int pageCount = layout_.PageCount();
    for (int index = 0; index < pageCount; ++index) {
      PrintPage& page = layout_.pages[static_cast<size_t>(index)];
      for (const std::vector<PrintFormItem>* items : {&form_.header, &form_.footer}) {
        for (const PrintFormItem& item : *items) {
          const std::string text = ItemText(item, texts, index + 1, pageCount);
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
  }

 private:
  std::string ItemText(const PrintFormItem& item, const PrintPageTexts& texts, int page,
                       int pageCount) {
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
    double left = band_->columns.front().x;
    for (const PrintFormColumn& column : band_->columns) left = std::min(left, column.x);
    return form_.marginLeft + left;
  }

  double Right() const {
    double right = 0;
    for (const PrintFormColumn& column : band_->columns) {
      right = std::max(right, column.x + column.width);
    }
    return form_.marginLeft + right;
  }

  double HeadingTop() const { return form_.marginTop + band_->top; }
  double RowTop(int row) const {
    return HeadingTop() + band_->headingHeight + row * band_->rowHeight;
  }

  void StartPage() {
    PrintPage& page = layout_.pages.emplace_back();
    page.texts.reserve(band_->columns.size() * (band_->rowsPerPage + 1) + form_.header.size() +
                       form_.footer.size());
    rowsOnPage_ = 0;
    if (band_->headingHeight <= 0) return;
    for (const PrintFormColumn& column : band_->columns) {
      if (column.heading.empty()) continue;
      const PrintRect cell{form_.marginLeft + column.x, HeadingTop(), column.width,
                           band_->headingHeight};
      page.texts.push_back(
          FitText(column.heading, cell, column.fontSize, PrintAlign::Center, PrintFit::Shrink));
    }
    if (band_->ruleRows) {
      page.lines.push_back({Left(), RowTop(0), Right(), RowTop(0), kRulePen});
    }
  }

  // The box around the band's heading and rows of the current page and the
  // lines between its columns.
  void CloseRules() {
    if (!band_->ruleColumns) return;
    const double top = HeadingTop();
    const double bottom = RowTop(rowsOnPage_);
    if (bottom <= top) return;
    PrintPage& page = layout_.pages.back();
    page.boxes.push_back({{Left(), top, Right() - Left(), bottom - top}, kBoxPen});
    for (const PrintFormColumn& column : band_->columns) {
      const double x = form_.marginLeft + column.x;
      if (x > Left()) page.lines.push_back({x, top, x, bottom, kRulePen});
    }
  }

  // Places one row; cellText gives a column's text and answers false when
  // the cell stays empty.
  template <typename CellText>
  void PlaceRow(CellText cellText) {
    if (rowsOnPage_ < 0 || rowsOnPage_ == band_->rowsPerPage) {
      if (rowsOnPage_ >= 0) CloseRules();
      StartPage();
    }
    PrintPage& page = layout_.pages.back();
    const double top = RowTop(rowsOnPage_);
    for (size_t i = 0; i < band_->columns.size(); ++i) {
      const PrintFormColumn& column = band_->columns[i];
      std::string text;
      unsigned long color = 0;
      if (!cellText(column, i, text, color) || text.empty()) continue;
      const PrintRect cell{form_.marginLeft + column.x, top, column.width, band_->rowHeight};
      page.texts.push_back(FitText(text, cell, column.fontSize, column.align, column.fit));
      page.texts.back().color = color;
    }
    ++rowsOnPage_;
    if (band_->ruleRows) {
      page.lines.push_back({Left(), RowTop(rowsOnPage_), Right(), RowTop(rowsOnPage_), kRulePen});
    }
  }

  const PrintForm& form_;
  CPrintData& data_;
  const CJknSet* jkn_;
  PrintLayout& layout_;
  const PrintFormBand* band_ = nullptr;
  int rowsOnPage_ = -1;  // -1: no page of the current band yet
};

}  // namespace

bool LayOutPrintForm(const PrintForm& form, CPrintData& data, const CJknSet* jkn,
                     const PrintPageTexts& texts, PrintLayout& layout, std::string& error) {
  layout = PrintLayout{};
  layout.paperWidth = form.paperWidth;
  layout.paperHeight = form.paperHeight;
  layout.landscape = form.landscape;
  layout.paperName = form.paperName;
  error.clear();
  if (form.bands.empty()) {
    error = form.path + ": the form has no repeat band";
    return false;
  }
  data.InitItem();
  Layouter layouter(form, data, jkn, layout);
  for (const PrintFormBand& band : form.bands) {
    if (band.columns.empty() || band.rowsPerPage < 1) {
      error = form.path + ":" + std::to_string(band.line) + ": the band has no columns or rows";
      return false;
    }
    if (!layouter.LayOutBand(band, error)) return false;
  }
  if (layout.pages.empty()) layouter.LayOutEmpty();
  layouter.AddPageFrames(texts);
  return true;
}

}  // namespace vexa
