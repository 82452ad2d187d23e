#include "vexafol/ui/sx_grp_sheet.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "vexafol/ui/ui_library.h"

namespace vexa {

SxGrpSheet::SxGrpSheet(QWidget* parent) : QAbstractScrollArea(parent) {
  InitUiLibrary();
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void SxGrpSheet::Init(int visibleRows, int columns, int rows, int textHeight) {
  visibleRows_ = std::max(1, visibleRows);
  columns_ = std::max(0, columns);
  rows_ = std::max(0, rows);
  textHeight_ = std::max(1, textHeight);
  selRow_ = selCol_ = -1;
  UpdateScrollBar();
  viewport()->update();
}

int SxGrpSheet::SetSelect(int row, int col) {
  if (row < 0 || row >= rows_ || col < 0 || col >= columns_ || !SelectRec(row, col)) return 0;
  selRow_ = row;
  selCol_ = col;
  QScrollBar* bar = verticalScrollBar();
  if (row < bar->value()) bar->setValue(row);
  if (row >= bar->value() + visibleRows_) bar->setValue(row - visibleRows_ + 1);
  viewport()->update();
  emit selectionChanged(row, col);
  return 1;
}

int SxGrpSheet::GetSelect(int* row, int* col) const {
  if (row) *row = selRow_;
  if (col) *col = selCol_;
  return selRow_ >= 0 ? 1 : 0;
}

void SxGrpSheet::GetSheetInfo(int* columns, int* rows, int* visibleRows) const {
  if (columns) *columns = columns_;
  if (rows) *rows = rows_;
  if (visibleRows) *visibleRows = visibleRows_;
}

int SxGrpSheet::CellHeight() const {
  return std::max(1, viewport()->height() / visibleRows_);
}

int SxGrpSheet::CellWidth() const {
  return columns_ > 0 ? std::max(1, viewport()->width() / columns_) : 1;
}

QRect SxGrpSheet::CellRect(int row, int col) const {
  return QRect(col * CellWidth(), (row - verticalScrollBar()->value()) * CellHeight(), CellWidth(),
               CellHeight());
}

bool SxGrpSheet::CellAt(const QPoint& point, int* row, int* col) const {
  if (point.x() < 0 || point.y() < 0) return false;
  *row = point.y() / CellHeight() + verticalScrollBar()->value();
  *col = point.x() / CellWidth();
  return *row < rows_ && *col < columns_;
}

void SxGrpSheet::UpdateScrollBar() {
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, rows_ - visibleRows_));
  bar->setPageStep(visibleRows_);
  bar->setSingleStep(1);
}

void SxGrpSheet::DrawRec(QPainter*, int, int, QRect*) {}

void SxGrpSheet::PaintSelRec(QPainter& painter, int, int, QRect& rect, int focused) {
  QPen pen(palette().color(focused ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
  pen.setWidth(3);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(1, 1, -2, -2));
}

int SxGrpSheet::SelectRec(int, int) {
  return 1;
}

int SxGrpSheet::ActivateRec(int, int) {
  return 0;
}

void SxGrpSheet::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int first = verticalScrollBar()->value();
  const int last = std::min(rows_ - 1, first + visibleRows_);  // a partly shown row too
  for (int row = first; row <= last; ++row) {
    for (int col = 0; col < columns_; ++col) {
      QRect rect = CellRect(row, col);
      painter.save();
      DrawRec(&painter, row, col, &rect);
      painter.restore();
      if (row == selRow_ && col == selCol_) {
        painter.save();
        PaintSelRec(painter, row, col, rect, hasFocus() ? 1 : 0);
        painter.restore();
      }
    }
  }
}

void SxGrpSheet::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void SxGrpSheet::mousePressEvent(QMouseEvent* event) {
  int row = 0;
  int col = 0;
  if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), &row, &col)) {
    SetSelect(row, col);
  }
}

void SxGrpSheet::mouseDoubleClickEvent(QMouseEvent* event) {
  int row = 0;
  int col = 0;
  if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), &row, &col) &&
      SetSelect(row, col)) {
    ActivateRec(row, col);
  }
}

void SxGrpSheet::keyPressEvent(QKeyEvent* event) {
  int row = std::max(selRow_, 0);
  int col = std::max(selCol_, 0);
  switch (event->key()) {
    case Qt::Key_Left:
      --col;
      break;
    case Qt::Key_Right:
      ++col;
      break;
    case Qt::Key_Up:
      --row;
      break;
    case Qt::Key_Down:
      ++row;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (selRow_ >= 0) {
        ActivateRec(selRow_, selCol_);
        return;
      }
      event->ignore();
      return;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  if (selRow_ < 0) row = col = 0;  // the first arrow selects the first cell
  SetSelect(row, col);
}

void SxGrpSheet::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void SxGrpSheet::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace vexa
