// SxGrpSheet: a sheet of equal cells in rows and columns, each painted by the
// derived class (pictures and boxes of text), with one selected cell. The
// window shows a fixed number of cell rows and scrolls by whole rows; the
// cells share the window's width equally.
//
// Overridables: DrawRec paints a cell, PaintSelRec the selection mark,
// SelectRec decides whether a cell may be selected, ActivateRec runs when the
// user activates the selected cell (double click or Return).
#pragma once

#include <QAbstractScrollArea>
#include <QRect>

#include "vexafol/export.h"

class QPainter;

namespace vexa {

class VEXA_UI_API SxGrpSheet : public QAbstractScrollArea {
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

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int CellHeight() const;
  int CellWidth() const;
  bool CellAt(const QPoint& point, int* row, int* col) const;
  void UpdateScrollBar();

  int visibleRows_ = 1;
  int columns_ = 0;
  int rows_ = 0;
  int textHeight_ = 12;
  int selRow_ = -1;
  int selCol_ = -1;
};

}  // namespace vexa
