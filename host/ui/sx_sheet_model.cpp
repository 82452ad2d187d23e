#include "host/ui/sx_sheet_model.h"

#include <QColor>

#include <algorithm>

#include "host/ui/color_ref.h"

namespace vexa {
namespace {

// Black or white, whichever reads better on background.
QColor TextColorOn(const QColor& background) {
  const int luminance =
      (background.red() * 299 + background.green() * 587 + background.blue() * 114) / 1000;
  return luminance < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace

SxSheetModel::SxSheetModel(std::unique_ptr<SxSheetRowSource> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int SxSheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : recordCount_;
}

int SxSheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

Qt::ItemFlags SxSheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || rows_->CellState(index.row(), index.column()) == 0) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant SxSheetModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  const int col = index.column();
  if (!index.isValid() || row >= recordCount_ || col >= columnCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::BackgroundRole && role != Qt::ForegroundRole &&
      role != Qt::TextAlignmentRole && role != Qt::ToolTipRole) {
    return {};
  }
  if (rows_->CellState(row, col) == 0) return {};
  const Column& column = columns_[col];
  switch (role) {
    case Qt::ToolTipRole: {
      const std::string text = rows_->ToolTip(row, col);
      return text.empty() ? QVariant() : QVariant(QString::fromStdString(text));
    }
    case Qt::DisplayRole:
      if (column.item < 0) return {};
      return QString::fromStdString(rows_->ItemText(row, column.item));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(column.item));
    default: {  // background and foreground
      COLORREF color = 0;
      if (rows_->ItemColor(row, col, color)) {
        const QColor background = ToQColor(color);
        return role == Qt::BackgroundRole ? QBrush(background) : QBrush(TextColorOn(background));
      }
      if (column.label) return role == Qt::BackgroundRole ? labelBackground_ : labelText_;
      return {};
    }
  }
}

Qt::Alignment SxSheetModel::AlignmentOf(int itemId) const {
  int form = 0;
  for (const auto& [id, value] : dataForms_) {
    if (id == itemId) form = value;
  }
  const Qt::Alignment horizontal = form == 1   ? Qt::AlignHCenter
                                   : form == 2 ? Qt::AlignRight
                                               : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

QVariant SxSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return {};
  }
  return QString::fromStdString(HeaderText(section));
}

void SxSheetModel::SetRecordCount(int count) {
  beginResetModel();
  recordCount_ = std::max(0, count);
  endResetModel();
}

void SxSheetModel::SetColumnCount(int columns) {
  columns = std::max(0, columns);
  if (columns == columnCount()) return;
  beginResetModel();
  columns_.resize(columns);
  std::erase_if(headerTexts_, [columns](const HeaderCell& t) { return t.col >= columns; });
  endResetModel();
}

void SxSheetModel::ClearColumns() {
  headerTexts_.clear();
  dataForms_.clear();
  if (columns_.empty()) return;
  beginResetModel();
  columns_.clear();
  endResetModel();
}

void SxSheetModel::SetColumnItem(int col, int itemId, bool label) {
  if (col < 0 || col >= columnCount()) return;
  columns_[col] = {itemId, label};
  RefreshAll();
}

int SxSheetModel::ColumnItem(int col) const {
  return col >= 0 && col < columnCount() ? columns_[col].item : -1;
}

void SxSheetModel::SetDataForm(int itemId, unsigned char form) {
  std::erase_if(dataForms_, [itemId](const auto& entry) { return entry.first == itemId; });
  dataForms_.emplace_back(itemId, form);
  RefreshAll();
}

void SxSheetModel::SetHeaderLines(int lines) {
  headerLines_ = std::max(1, lines);
}

void SxSheetModel::AddHeaderText(int line, int col, const std::string& text, int id) {
  if (line < 0 || line >= headerLines_ || col < 0 || col >= columnCount()) return;
  headerTexts_.push_back({line, col, id, text});
  headerDataChanged(Qt::Horizontal, col, col);
}

void SxSheetModel::SetHeaderText(int id, const std::string& text) {
  for (HeaderCell& header : headerTexts_) {
    if (header.id != id) continue;
    header.text = text;
    headerDataChanged(Qt::Horizontal, header.col, header.col);
  }
}

std::string SxSheetModel::HeaderText(int col) const {
  std::string joined;
  for (int line = 0; line < headerLines_; ++line) {
    for (const HeaderCell& header : headerTexts_) {
      if (header.col != col || header.line != line) continue;
      if (!joined.empty()) joined += '\n';
      joined += header.text;
    }
  }
  return joined;
}

void SxSheetModel::SetLabelBrushes(const QBrush& background, const QBrush& text) {
  labelBackground_ = background;
  labelText_ = text;
  RefreshAll();
}

void SxSheetModel::RefreshAll() {
  const int columns = columnCount();
  if (columns > 0) headerDataChanged(Qt::Horizontal, 0, columns - 1);
  if (columns > 0 && recordCount_ > 0) {
    dataChanged(index(0, 0), index(recordCount_ - 1, columns - 1));
  }
}

}  // namespace vexa
