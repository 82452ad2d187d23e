// Column widths of the record grid: lengths in characters, columns as wide
// as the widest text their records may show, one column that fills the free width, and the widths
// the user drags, which outlive every rebuild of the frame.
#include <QEvent>
#include <QHeaderView>
#include <QScopedValueRollback>

#include <algorithm>

#include "host/ui/sx_sheet_model.h"
#include "vexafol/ui/dialog_units.h"
#include "vexafol/ui/sx_sheet.h"

namespace vexa {
namespace {

// Cell padding added to a column's text width, in pixels.
constexpr int kColumnPadding = 4;
// Bounds of a width the user drags or that comes back from the settings.
constexpr int kMinUserWidth = 8;
constexpr int kMaxUserWidth = 4000;

}  // namespace

void SxSheet::SetColLen(int col, int len) {
  if (col < 0 || col >= ColumnCount()) return;
  colLen_[col] = std::max(0, len);
  {
    QScopedValueRollback<bool> sizing(sizingColumns_, true);
    horizontalHeader()->resizeSection(col, ColumnPixels(col));
  }
  FitStretchColumn();
}

int SxSheet::GetColLen(int col) const {
  return col >= 0 && col < ColumnCount() ? colLen_[col] : 0;
}

void SxSheet::GetWidestText(int, std::string&) {}

void SxSheet::SetStretchItem(int itemId) {
  stretchItem_ = itemId;
  ApplyColWidths();
}

void SxSheet::SetUserColWidths(const std::map<int, int>& widths) {
  userWidths_.clear();
  for (const auto& [item, pixels] : widths) {
    if (pixels > 0) userWidths_[item] = std::clamp(pixels, kMinUserWidth, kMaxUserWidth);
  }
  ApplyColWidths();
}

int SxSheet::ColumnPixels(int col) {
  const int item = GetColItem(col);
  const auto user = userWidths_.find(item);
  if (user != userWidths_.end()) return user->second;
  int width = colLen_[col] * DialogBaseUnits(font()).width() + kColumnPadding;
  std::string widest;
  if (item >= 0) GetWidestText(item, widest);
  if (!widest.empty()) {
    width = std::max(width, QFontMetrics(font()).horizontalAdvance(QString::fromStdString(widest)) +
                                2 * kColumnPadding);
  }
  return width;
}

void SxSheet::ApplyColWidths() {
  const int columns = ColumnCount();
  {
    QScopedValueRollback<bool> sizing(sizingColumns_, true);
    for (int col = 0; col < columns; ++col) {
      horizontalHeader()->resizeSection(col, ColumnPixels(col));
    }
  }
  FitStretchColumn();
}

void SxSheet::FitStretchColumn() {
  if (stretchItem_ < 0 || userWidths_.contains(stretchItem_)) return;
  const int columns = ColumnCount();
  int stretch = -1;
  int others = 0;
  for (int col = 0; col < columns; ++col) {
    if (GetColItem(col) == stretchItem_ && stretch < 0) {
      stretch = col;
    } else {
      others += horizontalHeader()->sectionSize(col);
    }
  }
  if (stretch < 0) return;
  const int own = colLen_[stretch] * DialogBaseUnits(font()).width() + kColumnPadding;
  QScopedValueRollback<bool> sizing(sizingColumns_, true);
  horizontalHeader()->resizeSection(stretch, std::max(own, viewport()->width() - others));
}

void SxSheet::OnSectionResized(int col, int, int newSize) {
  if (sizingColumns_ || col < 0 || col >= ColumnCount()) return;
  const int item = GetColItem(col);
  if (item < 0) return;
  const int pixels = std::clamp(newSize, kMinUserWidth, kMaxUserWidth);
  userWidths_[item] = pixels;
  FitStretchColumn();
  emit userColWidthChanged(item, pixels);
}

bool SxSheet::viewportEvent(QEvent* event) {
  const bool handled = QTableView::viewportEvent(event);
  if (event->type() == QEvent::Resize) FitStretchColumn();
  return handled;
}

}  // namespace vexa
