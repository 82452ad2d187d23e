// SxGrpSheet: a sheet of equal cells in rows and columns, each painted by the
// derived class (pictures and boxes of text), with one selected cell. The
// window shows a fixed number of cell rows and scrolls by whole rows; the
// cells share the window's width equally.
//
// It is a QTableView over a model of rows x columns cells that hold no data
// of their own; a delegate paints each visible cell through DrawRec and the
// selected one's mark through PaintSelRec. The selected cell is the view's
// current index and the selection model's one selected cell.
//
// Overridables: DrawRec paints a cell, PaintSelRec the selection mark,
// SelectRec decides whether a cell may be selected, ActivateRec runs when the
// user activates the selected cell (double click or Return), GetCellToolTip
// names a cell's tool tip.
#pragma once

#include <QRect>
#include <QTableView>

#include <string>

#include "vexafol/export.h"

class QPainter;

namespace vexa {

class VEXA_UI_API SxGrpSheet : public QTableView {
  Q_OBJECT

 public:
  explicit SxGrpSheet(QWidget* parent = nullptr);

  // visibleRows: rows of cells shown at once (at least 1); columns x rows
  // cells (negative counts as 0); textHeight: pixel height of the cells'
  // text, a hint for derived painting (TextHeight). Clears the selection.
  void Init(int visibleRows, int columns, int rows, int textHeight);
  // Selects cell (row, col) and scrolls to it: 1 when the cell exists and
  // SelectRec allows it, else 0 and the selection stays.
  int SetSelect(int row, int col);
  // The selected cell: 1 and its row and column, or 0 and -1, -1 when none.
  int GetSelect(int* row, int* col) const;
  // Columns, rows and visible rows given to Init (null pointers skipped).
  void GetSheetInfo(int* columns, int* rows, int* visibleRows) const;
  int TextHeight() const { return textHeight_; }
  // The rectangle of a cell in viewport coordinates at the current scroll
  // position (it may lie outside the viewport).
  QRect CellRect(int row, int col) const;

 signals:
  // Another cell was selected. (QAbstractItemView's selectionChanged, a
  // virtual function of two selections, is a different function.)
  void selectionChanged(int row, int col);

 protected:
  // Paints cell (row, col) into rect. Base: nothing.
  virtual void DrawRec(QPainter* painter, int row, int col, QRect* rect);
  // Paints the selection mark of the selected cell; focused is 1 while the
  // sheet has the keyboard focus. Base: a 3-pixel frame in the highlight
  // colour inside rect.
  virtual void PaintSelRec(QPainter& painter, int row, int col, QRect& rect, int focused);
  // Whether cell (row, col) may be selected (non-zero: yes). Base: 1.
  virtual int SelectRec(int row, int col);
  // The user activated the selected cell. Base: nothing, answers 0.
  virtual int ActivateRec(int row, int col);
  // The tool tip of cell (row, col); text arrives empty, and empty shows
  // none. Asked when the tool tip is wanted. Base: none.
  virtual void GetCellToolTip(int row, int col, std::string& text);

  void resizeEvent(QResizeEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  // The left button selects the cell under it, a double click activates it;
  // dragging selects nothing else.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The arrows select the neighbouring cell (the first arrow the first
  // cell), Return and Enter activate the selected cell; Page Up and Page Down
  // scroll; every other key goes to the window.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class CellModel;
  class CellDelegate;

  int CellHeight() const;
  int CellWidth() const;
  // Every cell as wide and high as the viewport's share of it.
  void ApplyCellSize();

  CellModel* cells_;
  int visibleRows_ = 1;
  int textHeight_ = 12;
};

}  // namespace vexa
