// The table model behind SxSheet: answers the view from the sheet's frame
// (columns, header texts, data forms) and its hooks, one cell at a time when
// the view paints it. It holds no cell data.
#pragma once

#include <QAbstractTableModel>

#include <functional>

namespace vexa {

class SxSheet;

class SxSheetModel : public QAbstractTableModel {
 public:
  explicit SxSheetModel(SxSheet* sheet);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Runs change between a model reset's begin and end; change may alter the
  // record count. The model's column count becomes columns.
  void Reset(int columns, const std::function<void()>& change);
  // Every cell and header text may have changed.
  void RefreshAll();
  // The header texts of columns first to last changed.
  void RefreshHeader(int first, int last);

 private:
  SxSheet* sheet_;
  int columns_ = 0;
};

}  // namespace vexa
