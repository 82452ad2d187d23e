#include "vexafol/ui/sx_sheet.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <memory>

#include "host/ui/sx_sheet_model.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

struct KeyPair {
  Qt::Key qt;
  unsigned vk;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},   {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Delete, VK_DELETE},
};

unsigned VirtualKeyOf(int qtKey) {
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
    return static_cast<unsigned>(qtKey);  // Qt uses the ASCII codes, as virtual keys do
  }
  for (const KeyPair& pair : kKeys) {
    if (pair.qt == qtKey) return pair.vk;
  }
  return 0;
}

int QtKeyOf(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return static_cast<int>(vk);
  for (const KeyPair& pair : kKeys) {
    if (pair.vk == vk) return pair.qt;
  }
  return Qt::Key_unknown;
}

// Keys that move the cursor from record to record.
bool MovesBetweenRecords(int key) {
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}

}  // namespace

// The hooks, asked by the model one cell at a time.
class SxSheet::Rows final : public SxSheetRowSource {
 public:
  explicit Rows(SxSheet& sheet) : sheet_(sheet) {}

  int CellState(int row, int col) override { return sheet_.GetCellState(row, col); }
  std::string ItemText(int row, int itemId) override {
    std::string text;
    sheet_.GetItemText(row, itemId, text);
    return text;
  }
  bool ItemColor(int row, int col, COLORREF& color) override {
    color = kSheetDefaultColor;
    return sheet_.GetItemColor(row, col, color) != 0 && color != kSheetDefaultColor;
  }
  std::string ToolTip(int row, int col) override {
    std::string text;
    sheet_.GetItemToolTip(row, col, text);
    return text;
  }

 private:
  SxSheet& sheet_;
};

SxSheet::SxSheet(QWidget* parent)
    : QTableView(parent), model_(new SxSheetModel(std::make_unique<Rows>(*this), this)) {
  InitUiLibrary();
  setModel(model_);
  ApplyLabelBrushes();
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  // The sheet scrolls to its cursor itself (see scrollTo).
  setAutoScroll(false);
  setSortingEnabled(false);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  ApplyRowHeight();
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
    const int itemId = GetColItem(col);
    OnHeaderClick(itemId);
    emit headerClicked(itemId);
  });
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, &SxSheet::OnSectionResized);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &SxSheet::OnCurrentChanged);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &SxSheet::OnSelectionChanged);
}

SxSheet::~SxSheet() = default;

// --- Frame -------------------------------------------------------------------

void SxSheet::ClearFrame() {
  colLen_.clear();
  HoldMarks();
  model_->ClearColumns();
}

void SxSheet::SetHeaderRow(int lines) {
  model_->SetHeaderLines(lines);
  horizontalHeader()->setMinimumHeight(std::max(1, lines) * (fontMetrics().height() + 4));
}

void SxSheet::SetRecRow(int lines) {
  recordLines_ = std::max(1, lines);
  ApplyRowHeight();
}

void SxSheet::SetColNum(int columns) {
  columns = std::max(0, columns);
  colLen_.resize(columns, 0);
  if (columns == ColumnCount()) {
    model_->RefreshAll();
    return;
  }
  HoldMarks();
  model_->SetColumnCount(columns);
  if (columns == 0) return;
  ApplyColWidths();
  PutBackHeldMarks();
}

int SxSheet::ColumnCount() const {
  return model_->columnCount();
}

void SxSheet::SetTextHeight(int pixels) {
  textHeight_ = std::max(1, pixels);
  ApplyRowHeight();
}

void SxSheet::AddText(int row, int col, const char* text, int id) {
  model_->AddHeaderText(row, col, text ? text : "", id);
}

void SxSheet::SetTextString(int id, const char* text) {
  model_->SetHeaderText(id, text ? text : "");
}

std::string SxSheet::GetHeaderText(int col) const {
  return model_->HeaderText(col);
}

void SxSheet::AddItem(int /*row*/, int col, int itemId, unsigned char flag) {
  if (col < 0 || col >= ColumnCount()) return;
  model_->SetColumnItem(col, itemId, flag != 0);
  // The item decides the width too: the user's width and the widest text.
  SetColLen(col, colLen_[col]);
}

int SxSheet::GetColItem(int col) const {
  return model_->ColumnItem(col);
}

void SxSheet::SetDataForm(int itemId, unsigned char form) {
  model_->SetDataForm(itemId, form);
}

void SxSheet::MultiSelect(int multi) {
  const QAbstractItemView::SelectionMode mode =
      multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
  if (mode == selectionMode()) return;
  setSelectionMode(mode);
  // Leaving multiple marking keeps only the cursor's record marked.
  int row = -1;
  int col = -1;
  GetEditPos(&row, &col);
  if (mode == QAbstractItemView::SingleSelection && row >= 0) RestoreMarks({row}, row, col);
}

void SxSheet::EnableMarkOrder(int on) {
  markOrder_ = on != 0;
}

// --- Records and cursor ---------------------------------------------------------

void SxSheet::SetRecMax(int max) {
  recMax_ = std::max(0, max);
}

void SxSheet::SetRecCnt(int count) {
  model_->SetRecordCount(count);
  markSeq_.assign(GetRecCnt(), 0);
  lastRecord_ = -1;
  heldMarks_.clear();
  heldCursorRow_ = heldCursorCol_ = -1;
  ApplyColWidths();
}

int SxSheet::GetRecCnt() const {
  return model_->rowCount();
}

void SxSheet::GetEditPos(int* row, int* col) const {
  const QModelIndex current = selectionModel()->currentIndex();
  if (row) *row = current.isValid() ? current.row() : -1;
  if (col) *col = current.isValid() ? current.column() : -1;
}

void SxSheet::JumpTo(int row, int col) {
  const int records = GetRecCnt();
  const int columns = ColumnCount();
  if (records == 0 || columns == 0) return;
  const QModelIndex target =
      model_->index(std::clamp(row, 0, records - 1), std::clamp(col, 0, columns - 1));
  selectionModel()->setCurrentIndex(
      target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(target);
}

void SxSheet::DrawPage() {
  model_->RefreshAll();
  viewport()->update();
}

int SxSheet::GetPageTop() const {
  return GetRecCnt() > 0 ? rowAt(0) : -1;
}

int SxSheet::GetPageBot() const {
  if (GetRecCnt() == 0) return -1;
  const int bottom = rowAt(viewport()->height() - 1);
  return bottom >= 0 ? bottom : (rowAt(0) >= 0 ? GetRecCnt() - 1 : -1);
}

std::vector<int> SxSheet::MarkedRows() const {
  std::vector<int> rows;
  const int records = static_cast<int>(markSeq_.size());
  std::vector<char> seen(records, 0);
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom() && row < records; ++row) {
      if (!seen[row] && selectionModel()->isRowSelected(row)) rows.push_back(row);
      seen[row] = 1;
    }
  }
  return rows;
}

int SxSheet::GetMarkCnt() const {
  return static_cast<int>(MarkedRows().size());
}

std::vector<int> SxSheet::GetMarkRecOrder() const {
  std::vector<int> rows = MarkedRows();
  if (markOrder_) {
    std::stable_sort(rows.begin(), rows.end(),
                     [this](int a, int b) { return markSeq_[a] < markSeq_[b]; });
  } else {
    std::sort(rows.begin(), rows.end());
  }
  return rows;
}

int SxSheet::GetMarkRecOrder(int* out, int n) const {
  const std::vector<int> rows = GetMarkRecOrder();
  const int written = std::clamp(static_cast<int>(rows.size()), 0, std::max(0, n));
  std::copy_n(rows.begin(), written, out);
  return written;
}

void SxSheet::RecalcFrame(const QRect& rect) {
  setGeometry(rect);
}

void SxSheet::OnKeyDown(unsigned key, unsigned, unsigned) {
  if (key == VK_RETURN) {
    int row = -1;
    GetEditPos(&row, nullptr);
    emit returnPressed(row);
    return;
  }
  if (pendingKey_) {
    QTableView::keyPressEvent(pendingKey_);
    return;
  }
  QKeyEvent synthetic(QEvent::KeyPress, QtKeyOf(key), Qt::NoModifier);
  QTableView::keyPressEvent(&synthetic);
}

// --- Hooks --------------------------------------------------------------------------

int SxSheet::GetCellState(int row, int) {
  return row >= 0 && row < GetRecCnt() ? 2 : 0;
}
void SxSheet::GetItemText(int, int, std::string&) {}
int SxSheet::GetItemColor(int, int, COLORREF&) {
  return 1;
}
void SxSheet::GetItemToolTip(int, int, std::string&) {}
void SxSheet::OnRecordChanged(int, int) {}
void SxSheet::OnHeaderClick(int) {}
void SxSheet::OnRecordMouse(unsigned, int, int) {}

// --- Events ---------------------------------------------------------------------------

void SxSheet::keyPressEvent(QKeyEvent* event) {
  QKeyEvent* outer = pendingKey_;
  pendingKey_ = event;
  OnKeyDown(VirtualKeyOf(event->key()), event->isAutoRepeat() ? 2 : 1, 0);
  pendingKey_ = outer;
}

void SxSheet::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  if (event->button() == Qt::LeftButton) OnRecordMouse(WM_LBUTTONDOWN, index.row(), index.column());
  if (event->button() == Qt::RightButton) {
    OnRecordMouse(WM_RBUTTONDOWN, index.row(), index.column());
  }
}

void SxSheet::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid() || event->button() != Qt::LeftButton) return;
  OnRecordMouse(WM_LBUTTONDBLCLK, index.row(), index.column());
  emit recordDoubleClicked(index.row(), index.column());
}

QModelIndex SxSheet::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  scrollSideways_ =
      action == MoveLeft || action == MoveRight || action == MoveNext || action == MovePrevious;
  // Home and End go to the first and last record, with or without Ctrl, and
  // keep the column: the grid lists records, not cells of one record.
  if ((action == MoveHome || action == MoveEnd) && GetRecCnt() > 0 && ColumnCount() > 0) {
    const int col = std::max(currentIndex().column(), 0);
    return model_->index(action == MoveHome ? 0 : GetRecCnt() - 1, col);
  }
  return QTableView::moveCursor(action, modifiers);
}

void SxSheet::scrollTo(const QModelIndex& index, ScrollHint hint) {
  // Going to another record scrolls up or down to the record's cell in the
  // leftmost column shown, so a grid narrower than its columns keeps showing
  // the number column. A move to another cell of the record (Left, Right)
  // scrolls to that cell.
  const int leftmost = columnAt(0);
  const bool sideways = scrollSideways_ || leftmost < 0 || !index.isValid();
  scrollSideways_ = false;
  QTableView::scrollTo(sideways ? index : model_->index(index.row(), leftmost), hint);
}

QItemSelectionModel::SelectionFlags SxSheet::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
  // Ctrl with a moving key keeps the marks only where there is more than one
  // to keep; with one mark or none the mark follows the cursor, as it does
  // without Ctrl.
  if (event && event->type() == QEvent::KeyPress &&
      selectionMode() == QAbstractItemView::ExtendedSelection) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier && MovesBetweenRecords(key->key()) && GetMarkCnt() <= 1) {
      return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
  }
  return QTableView::selectionCommand(index, event);
}

void SxSheet::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (current.isValid() && isVisible()) scrollTo(current);
  // The cursor frame spans the whole record.
  for (const QModelIndex& index : {previous, current}) {
    if (index.isValid()) viewport()->update(RecordRect(index.row()));
  }
}

void SxSheet::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  const QModelIndex current = currentIndex();
  if (!current.isValid() || ColumnCount() == 0) return;
  // The cursor is a frame around its record, visible on marked and unmarked
  // records alike.
  QPainter painter(viewport());
  QPen pen(palette().color(QPalette::Text));
  pen.setWidth(kCursorFrameWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(RecordRect(current.row()).adjusted(1, 1, -1, -1));
}

QRect SxSheet::RecordRect(int row) const {
  const int width =
      std::min(viewport()->width(), horizontalHeader()->length() - horizontalHeader()->offset());
  return QRect(0, rowViewportPosition(row), width, rowHeight(row));
}

// --- Internals ----------------------------------------------------------------------

void SxSheet::ApplyRowHeight() {
  const int height = recordLines_ * (textHeight_ + 4);
  verticalHeader()->setMinimumSectionSize(std::min(height, verticalHeader()->minimumSectionSize()));
  verticalHeader()->setDefaultSectionSize(height);
}

void SxSheet::HoldMarks() {
  // A reset clears the selection model; the records' marks, their order and
  // the cursor survive it here, also across a frame with no columns at all.
  if (ColumnCount() == 0) return;
  heldMarks_ = GetMarkRecOrder();
  GetEditPos(&heldCursorRow_, &heldCursorCol_);
}

void SxSheet::PutBackHeldMarks() {
  RestoreMarks(heldMarks_, heldCursorRow_, std::min(heldCursorCol_, ColumnCount() - 1));
  heldMarks_.clear();
  heldCursorRow_ = heldCursorCol_ = -1;
}

void SxSheet::ApplyLabelBrushes() {
  model_->SetLabelBrushes(palette().button(), palette().buttonText());
}

void SxSheet::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) ApplyLabelBrushes();
}

void SxSheet::RestoreMarks(const std::vector<int>& rows, int cursorRow, int cursorCol) {
  QScopedValueRollback<bool> restoring(restoringMarks_, true);
  QItemSelectionModel* selection = selectionModel();
  selection->clearSelection();
  std::fill(markSeq_.begin(), markSeq_.end(), 0);
  for (int row : rows) {
    if (row < 0 || row >= GetRecCnt()) continue;
    selection->select(model_->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  if (cursorRow >= 0 && cursorRow < GetRecCnt() && cursorCol >= 0) {
    selection->setCurrentIndex(model_->index(cursorRow, cursorCol), QItemSelectionModel::NoUpdate);
  }
}

void SxSheet::OnCurrentChanged(const QModelIndex& current, const QModelIndex&) {
  if (!current.isValid() || current.row() == lastRecord_) return;
  lastRecord_ = current.row();
  OnRecordChanged(current.row(), current.column());
  emit recordChanged(current.row(), current.column());
}

void SxSheet::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QItemSelectionModel* selection = selectionModel();
  const int records = static_cast<int>(markSeq_.size());
  for (const QItemSelectionRange& range : deselected) {
    for (int row = range.top(); row <= range.bottom() && row < records; ++row) {
      if (!selection->isRowSelected(row)) markSeq_[row] = 0;
    }
  }
  for (const QItemSelectionRange& range : selected) {
    for (int row = range.top(); row <= range.bottom() && row < records; ++row) {
      if (markSeq_[row] == 0 && selection->isRowSelected(row)) markSeq_[row] = nextMarkSeq_++;
    }
  }
  if (!restoringMarks_) KeepCursorOnASingleMark();
}

void SxSheet::KeepCursorOnASingleMark() {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  const std::vector<int> marks = MarkedRows();
  if (marks.size() > 1) return;
  QScopedValueRollback<bool> correcting(restoringMarks_, true);
  if (marks.empty()) {
    // The last mark was taken away: the cursor's record keeps it.
    selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  } else if (marks.front() != current.row()) {
    // The one mark left is elsewhere: the cursor (and the panel) go there.
    selectionModel()->setCurrentIndex(model_->index(marks.front(), current.column()),
                                      QItemSelectionModel::NoUpdate);
  }
}

}  // namespace vexa
