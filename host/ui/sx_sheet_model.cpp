#include "host/ui/sx_sheet_model.h"

#include <QBrush>
#include <QColor>
#include <QPalette>

#include <string>

#include "host/ui/color_ref.h"
#include "vexafol/ui/sx_sheet.h"

namespace vexa {
namespace {

// Black or white, whichever reads better on background.
QColor TextColorOn(const QColor& background) {
  const int luminance =
      (background.red() * 299 + background.green() * 587 + background.blue() * 114) / 1000;
  return luminance < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace

SxSheetModel::SxSheetModel(SxSheet* sheet) : QAbstractTableModel(sheet), sheet_(sheet) {}

int SxSheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : sheet_->recCnt_;
}

int SxSheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

Qt::ItemFlags SxSheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || sheet_->GetCellState(index.row(), index.column()) == 0) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant SxSheetModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  const int col = index.column();
  if (!index.isValid() || row >= sheet_->recCnt_ || col >= columns_) return {};
  if (role != Qt::DisplayRole && role != Qt::BackgroundRole && role != Qt::ForegroundRole &&
      role != Qt::TextAlignmentRole && role != Qt::ToolTipRole) {
    return {};
  }
  if (sheet_->GetCellState(row, col) == 0) return {};
  if (role == Qt::ToolTipRole) {
    std::string text;
    sheet_->GetItemToolTip(row, col, text);
    return text.empty() ? QVariant() : QVariant(QString::fromStdString(text));
  }
  const int itemId = sheet_->GetColItem(col);
  switch (role) {
    case Qt::DisplayRole: {
      if (itemId < 0) return {};
      std::string text;
      sheet_->GetItemText(row, itemId, text);
      return QString::fromStdString(text);
    }
    case Qt::TextAlignmentRole: {
      int form = 0;
      for (const auto& [id, value] : sheet_->dataForms_) {
        if (id == itemId) form = value;
      }
      const Qt::Alignment horizontal = form == 1   ? Qt::AlignHCenter
                                       : form == 2 ? Qt::AlignRight
                                                   : Qt::AlignLeft;
      return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    default: {  // background and foreground
      COLORREF color = kSheetDefaultColor;
      if (sheet_->GetItemColor(row, col, color) != 0 && color != kSheetDefaultColor) {
        const QColor background = ToQColor(color);
        return role == Qt::BackgroundRole ? QBrush(background) : QBrush(TextColorOn(background));
      }
      if (static_cast<size_t>(col) < sheet_->colFlag_.size() && sheet_->colFlag_[col] != 0) {
        return role == Qt::BackgroundRole ? sheet_->palette().button()
                                          : sheet_->palette().buttonText();
      }
      return {};
    }
  }
}

QVariant SxSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columns_) {
    return {};
  }
  return QString::fromStdString(sheet_->GetHeaderText(section));
}

void SxSheetModel::Reset(int columns, const std::function<void()>& change) {
  beginResetModel();
  columns_ = columns;
  change();
  endResetModel();
}

void SxSheetModel::RefreshAll() {
  if (columns_ > 0) headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
  if (columns_ > 0 && sheet_->recCnt_ > 0) {
    dataChanged(index(0, 0), index(sheet_->recCnt_ - 1, columns_ - 1));
  }
}

void SxSheetModel::RefreshHeader(int first, int last) {
  if (first <= last && last < columns_) headerDataChanged(Qt::Horizontal, first, last);
}

}  // namespace vexa
