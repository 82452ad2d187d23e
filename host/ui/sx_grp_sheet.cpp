#include "vexafol/ui/sx_grp_sheet.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include "vexafol/ui/ui_library.h"

namespace vexa {

// Rows x columns of cells; what a cell shows is the sheet's painting.
class SxGrpSheet::CellModel final : public QAbstractTableModel {
 public:
  explicit CellModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : columns_;
  }
  QVariant data(const QModelIndex&, int) const override { return {}; }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

  void Reset(int rows, int columns) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    endResetModel();
  }

 private:
  int rows_ = 0;
  int columns_ = 0;
};

// Paints a cell through DrawRec and, on the selected cell, its mark through
// PaintSelRec, each with the painter as it was given. The cell starts as the
// sheet's background: what the style paints under an item (the selected
// one's highlight) is not part of a cell.
class SxGrpSheet::CellDelegate final : public QAbstractItemDelegate {
 public:
  explicit CellDelegate(SxGrpSheet& sheet) : QAbstractItemDelegate(&sheet), sheet_(sheet) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QRect rect = option.rect;
    const QWidget& viewport = *sheet_.viewport();
    painter->fillRect(rect, viewport.palette().brush(viewport.backgroundRole()));
    painter->save();
    sheet_.DrawRec(painter, index.row(), index.column(), &rect);
    painter->restore();
    if (!sheet_.selectionModel()->isSelected(index)) return;
    painter->save();
    sheet_.PaintSelRec(*painter, index.row(), index.column(), rect, sheet_.hasFocus() ? 1 : 0);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return option.rect.size();
  }
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip) {
      return QAbstractItemDelegate::helpEvent(event, view, option, index);
    }
    std::string text;
    if (index.isValid()) sheet_.GetCellToolTip(index.row(), index.column(), text);
    if (text.empty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(event->globalPos(), QString::fromStdString(text), view->viewport());
    }
    return true;
  }

 private:
  SxGrpSheet& sheet_;
};

SxGrpSheet::SxGrpSheet(QWidget* parent) : QTableView(parent), cells_(new CellModel(this)) {
  InitUiLibrary();
  setModel(cells_);
  setItemDelegate(new CellDelegate(*this));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(ScrollPerItem);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(NoEditTriggers);
  setTabKeyNavigation(false);
  // The sheet scrolls to the cell it selects itself.
  setAutoScroll(false);
  setShowGrid(false);
  setWordWrap(false);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->hide();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(1);
  }
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void SxGrpSheet::Init(int visibleRows, int columns, int rows, int textHeight) {
  visibleRows_ = std::max(1, visibleRows);
  textHeight_ = std::max(1, textHeight);
  cells_->Reset(std::max(0, rows), std::max(0, columns));
  ApplyCellSize();
  viewport()->update();
}

int SxGrpSheet::SetSelect(int row, int col) {
  const QModelIndex cell = cells_->index(row, col);
  if (!cell.isValid() || !SelectRec(row, col)) return 0;
  selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
  scrollTo(cell);
  viewport()->update();
  emit selectionChanged(row, col);
  return 1;
}

int SxGrpSheet::GetSelect(int* row, int* col) const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  const QModelIndex cell = selected.isEmpty() ? QModelIndex() : selected.front();
  if (row) *row = cell.isValid() ? cell.row() : -1;
  if (col) *col = cell.isValid() ? cell.column() : -1;
  return cell.isValid() ? 1 : 0;
}

void SxGrpSheet::GetSheetInfo(int* columns, int* rows, int* visibleRows) const {
  if (columns) *columns = cells_->columnCount();
  if (rows) *rows = cells_->rowCount();
  if (visibleRows) *visibleRows = visibleRows_;
}

int SxGrpSheet::CellHeight() const {
  return std::max(1, viewport()->height() / visibleRows_);
}

int SxGrpSheet::CellWidth() const {
  const int columns = cells_->columnCount();
  return columns > 0 ? std::max(1, viewport()->width() / columns) : 1;
}

void SxGrpSheet::ApplyCellSize() {
  horizontalHeader()->setDefaultSectionSize(CellWidth());
  verticalHeader()->setDefaultSectionSize(CellHeight());
  // The scroll range follows at once, so that a cell selected next scrolls.
  updateGeometries();
}

QRect SxGrpSheet::CellRect(int row, int col) const {
  const int width = horizontalHeader()->defaultSectionSize();
  const int height = verticalHeader()->defaultSectionSize();
  return QRect(col * width - horizontalOffset(), row * height - verticalOffset(), width, height);
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

void SxGrpSheet::GetCellToolTip(int, int, std::string&) {}

void SxGrpSheet::resizeEvent(QResizeEvent* event) {
  ApplyCellSize();
  QTableView::resizeEvent(event);
}

bool SxGrpSheet::viewportEvent(QEvent* event) {
  const bool handled = QTableView::viewportEvent(event);
  // A scroll bar that comes or goes resizes the viewport, not the sheet.
  if (event->type() == QEvent::Resize) ApplyCellSize();
  return handled;
}

void SxGrpSheet::mousePressEvent(QMouseEvent* event) {
  const QModelIndex cell = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && cell.isValid()) SetSelect(cell.row(), cell.column());
}

void SxGrpSheet::mouseMoveEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseMoveEvent(event);
}

void SxGrpSheet::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void SxGrpSheet::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex cell = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && cell.isValid() && SetSelect(cell.row(), cell.column())) {
    ActivateRec(cell.row(), cell.column());
  }
}

void SxGrpSheet::keyPressEvent(QKeyEvent* event) {
  int row = -1;
  int col = -1;
  const bool selected = GetSelect(&row, &col) != 0;
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
      if (selected) {
        ActivateRec(row, col);
        return;
      }
      event->ignore();
      return;
    default:
      // Page Up and Page Down scroll; the rest goes to the window.
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  if (!selected) row = col = 0;  // the first arrow selects the first cell
  SetSelect(row, col);
}

}  // namespace vexa
