// The table model behind SxSheet. It owns the description of the sheet's
// data: the record count, the columns with the item each shows and whether it
// is the records' label column, the header texts by line and id, the items'
// data forms. It holds no cell contents: it asks its row source for a cell
// when the view paints or queries it, so the cost follows the visible
// records, not the record count.
#pragma once

#include <QAbstractTableModel>
#include <QBrush>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vexafol/types.h"

namespace vexa {

// The records' cells, asked one at a time for 0 <= row < the record count.
class SxSheetRowSource {
 public:
  virtual ~SxSheetRowSource() = default;
  // 0: no cell (empty, cannot be marked); anything else a cell with text.
  virtual int CellState(int row, int col) = 0;
  // The text of item itemId of record row.
  virtual std::string ItemText(int row, int itemId) = 0;
  // true with color set to a COLORREF when the cell has a background of its
  // own.
  virtual bool ItemColor(int row, int col, COLORREF& color) = 0;
  // The cell's tool tip; empty for none.
  virtual std::string ToolTip(int row, int col) = 0;
};

class SxSheetModel : public QAbstractTableModel {
 public:
  SxSheetModel(std::unique_ptr<SxSheetRowSource> rows, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The record count (negative counts as 0), set in a model reset.
  void SetRecordCount(int count);
  // The number of columns (negative counts as 0); a change is a model reset.
  // Header texts of columns that go are dropped; new columns show no item.
  void SetColumnCount(int columns);
  // No columns, header texts or data forms (a reset when there were columns).
  void ClearColumns();
  // Column col shows item itemId; label marks the records' label column.
  // Ignored outside the columns.
  void SetColumnItem(int col, int itemId, bool label);
  // The item column col shows, -1 when none.
  int ColumnItem(int col) const;
  // Data form of an item: 0 left-aligned, 1 centred, 2 right-aligned.
  void SetDataForm(int itemId, unsigned char form);

  // Text lines of the header (at least 1).
  void SetHeaderLines(int lines);
  // A header text of column col on line, tagged id; ignored outside the
  // lines and columns.
  void AddHeaderText(int line, int col, const std::string& text, int id);
  // Replaces the text of every header cell tagged id.
  void SetHeaderText(int id, const std::string& text);
  // The header text of column col, its lines joined by "\n".
  std::string HeaderText(int col) const;

  // The background and text of label columns without a colour of their own.
  void SetLabelBrushes(const QBrush& background, const QBrush& text);
  // Every cell and header text may have changed.
  void RefreshAll();

 private:
  struct Column {
    int item = -1;
    bool label = false;
  };
  struct HeaderCell {
    int line;
    int col;
    int id;
    std::string text;
  };

  Qt::Alignment AlignmentOf(int itemId) const;

  std::unique_ptr<SxSheetRowSource> rows_;
  int recordCount_ = 0;
  std::vector<Column> columns_;
  int headerLines_ = 1;
  std::vector<HeaderCell> headerTexts_;
  std::vector<std::pair<int, unsigned char>> dataForms_;
  QBrush labelBackground_;
  QBrush labelText_;
};

}  // namespace vexa
