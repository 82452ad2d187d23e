// SxSheet: the record grid of the selection dialogs, on QTableView.
//
// The sheet shows a number of records (rows counted from 0) in columns. Each
// column is bound to an item id; the sheet never stores cell texts but asks
// the overridable hooks for them when a record is painted, so only visible
// records cost anything and 10,000 records are as fast as 10. Header texts
// are tagged with ids and can be replaced by id. The cursor is the view's
// current index; marked records are the selection model's selected rows, and
// the sheet keeps the order in which they were marked.
//
// Keys: every key that moves the cursor to another record (arrows, Page
// Up/Down, Home/End to the first/last record, the same with Ctrl) moves the
// mark with it while at most one record is marked. With several records
// marked, Ctrl and such a key moves only the cursor and Shift extends the
// marks. Whatever the user does, a sheet with a cursor has a marked record,
// and when only one record is marked the cursor is on it. The cursor is drawn
// as a frame around its whole record. Going to another record scrolls the
// view up or down only; Left and Right scroll it sideways.
//
// Building the frame: ClearFrame, SetHeaderRow/SetRecRow, SetColNum,
// SetTextHeight, AddText per header cell, SetColLen, AddItem, SetDataForm,
// MultiSelect, EnableMarkOrder; then SetRecMax/SetRecCnt and JumpTo. Rebuilding
// the columns keeps the records, the cursor and the marks.
#pragma once

#include <QTableView>

#include <map>
#include <string>
#include <vector>

#include "vexafol/export.h"
#include "vexafol/types.h"

class QKeyEvent;

namespace vexa {

class SxSheetModel;

// Line width of the cursor frame, in pixels.
inline constexpr int kCursorFrameWidth = 2;

// Mouse messages given to OnRecordMouse.
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x0204;

// Virtual-key codes given to OnKeyDown (letters and digits are their ASCII
// upper-case codes; keys without a code here come as 0).
inline constexpr unsigned VK_TAB = 0x09;
inline constexpr unsigned VK_RETURN = 0x0D;
inline constexpr unsigned VK_ESCAPE = 0x1B;
inline constexpr unsigned VK_SPACE = 0x20;
inline constexpr unsigned VK_PRIOR = 0x21;
inline constexpr unsigned VK_NEXT = 0x22;
inline constexpr unsigned VK_END = 0x23;
inline constexpr unsigned VK_HOME = 0x24;
inline constexpr unsigned VK_LEFT = 0x25;
inline constexpr unsigned VK_UP = 0x26;
inline constexpr unsigned VK_RIGHT = 0x27;
inline constexpr unsigned VK_DOWN = 0x28;
inline constexpr unsigned VK_DELETE = 0x2E;

// The colour GetItemColor receives: "no colour of its own". A hook that
// leaves it unchanged keeps the sheet's default background.
inline constexpr COLORREF kSheetDefaultColor = 0xFF000000;

class VEXA_UI_API SxSheet : public QTableView {
  Q_OBJECT

 public:
  explicit SxSheet(QWidget* parent = nullptr);
  ~SxSheet() override;

  // --- Frame -------------------------------------------------------------
  // Removes all columns, header texts, item bindings, widths and data forms.
  // Records, cursor and marks are kept for the columns that follow.
  void ClearFrame();
  // Text lines of the header and of one record (both at least 1).
  void SetHeaderRow(int lines);
  void SetRecRow(int lines);
  // Number of columns (negative counts as 0).
  void SetColNum(int columns);
  // Height of one text line in pixels; record rows are lines x (height + 4).
  void SetTextHeight(int pixels);
  // Header text of column col on header line row, tagged with id for
  // SetTextString. Lines of one column are shown one below the other.
  // Ignored outside the header lines and columns.
  void AddText(int row, int col, const char* text, int id);
  // Replaces the text of every header cell tagged id.
  void SetTextString(int id, const char* text);
  // The header text of column col (its lines joined by "\n").
  std::string GetHeaderText(int col) const;
  // Column width in half-width characters (average character widths of the
  // font, as dialog units measure them); GetColLen answers what was set
  // (0 for unknown columns). A column is never narrower than the text
  // GetWidestText names for its item.
  void SetColLen(int col, int len);
  int GetColLen(int col) const;
  // The column bound to itemId takes the width the other columns leave
  // free, never less than its own length; -1: no column does. A column the
  // user sized by dragging keeps that size instead.
  void SetStretchItem(int itemId);
  // Pixel widths the user gave columns by dragging, by item id. They survive
  // every rebuild of the frame; setting them replaces all (values of 0 or
  // less are dropped).
  void SetUserColWidths(const std::map<int, int>& widths);
  const std::map<int, int>& GetUserColWidths() const { return userWidths_; }
  // Binds the record cells of column col to item itemId; the hooks get the
  // item id. flag non-zero marks the column as the records' label column,
  // painted in the header's colour. row is the record line (from 1).
  void AddItem(int row, int col, int itemId, unsigned char flag);
  // The item a column is bound to, -1 when none.
  int GetColItem(int col) const;
  // Data form of an item: 0 left-aligned text, 1 centred, 2 right-aligned.
  void SetDataForm(int itemId, unsigned char form);
  // multi non-zero: the user marks several records (Ctrl/Shift click and
  // keys); 0: exactly the cursor's record is marked.
  void MultiSelect(int multi);
  // on non-zero: GetMarkRecOrder answers in the order of marking; 0: in
  // record order.
  void EnableMarkOrder(int on);

  // --- Records and cursor --------------------------------------------------
  // Capacity of records; kept for GetRecMax, the count is what is shown.
  void SetRecMax(int max);
  int GetRecMax() const { return recMax_; }
  // Number of records (negative counts as 0). Clears the cursor and marks.
  void SetRecCnt(int count);
  int GetRecCnt() const;
  // The cursor: record and column; both -1 when there is no cursor.
  void GetEditPos(int* row, int* col) const;
  // Puts the cursor on record row (clamped into the records), column col
  // (clamped into the columns), marks just that record and scrolls to it.
  // Does nothing without records or columns.
  void JumpTo(int row, int col);
  // Repaints the visible records, asking the hooks again.
  void DrawPage();
  // First and last record visible in the window; -1 when none is.
  int GetPageTop() const;
  int GetPageBot() const;
  // Number of marked records and the marked records in marking order (or
  // record order, see EnableMarkOrder). GetMarkRecOrder writes at most n
  // entries to out and returns how many it wrote.
  int GetMarkCnt() const;
  int GetMarkRecOrder(int* out, int n) const;
  std::vector<int> GetMarkRecOrder() const;
  // Places the sheet on rect (parent coordinates).
  void RecalcFrame(const QRect& rect);

  // Default key handling for a virtual key: Return emits returnPressed with
  // the cursor's record, any other key moves the cursor as the view does.
  // repeat and flags are accepted for the Windows signature and unused.
  virtual void OnKeyDown(unsigned key, unsigned repeat, unsigned flags);

 signals:
  // A header cell of the column bound to itemId was clicked.
  void headerClicked(int itemId);
  // The cursor moved to another record.
  void recordChanged(int row, int col);
  // Return was pressed (default key handling) with the cursor on row (-1 when
  // there is no cursor).
  void returnPressed(int row);
  // A record was double-clicked with the left button.
  void recordDoubleClicked(int row, int col);
  // The user dragged the width of the column bound to itemId to pixels.
  void userColWidthChanged(int itemId, int pixels);

 protected:
  // --- Hooks (all are only called for 0 <= row < GetRecCnt) ----------------
  // Cell state: 0 no cell (empty, cannot be marked), anything else a cell
  // that shows text. The base answers 2 for every record.
  virtual int GetCellState(int row, int col);
  // Text of item itemId of record row; text arrives empty. Base: no text.
  virtual void GetItemText(int row, int itemId, std::string& text);
  // Background colour of the cell: color arrives as kSheetDefaultColor; set
  // it to a COLORREF (0x00BBGGRR) to colour the cell. Return non-zero when
  // color is to be used. Base: returns 1, colour untouched.
  virtual int GetItemColor(int row, int col, COLORREF& color);
  // The widest text the records may show for item itemId (text arrives
  // empty); its column is never narrower. Asked whenever widths are set, not
  // per record. Base: none.
  virtual void GetWidestText(int itemId, std::string& text);
  // Tool tip of the cell; text arrives empty, and empty shows none. Base: none.
  virtual void GetItemToolTip(int row, int col, std::string& text);
  // The cursor moved to another record. Base: nothing (recordChanged is
  // emitted after the hook).
  virtual void OnRecordChanged(int row, int col);
  // A header cell was clicked. Base: nothing (headerClicked follows).
  virtual void OnHeaderClick(int itemId);
  // A mouse message over a record. Base: nothing (a double click then
  // emits recordDoubleClicked).
  virtual void OnRecordMouse(unsigned message, int row, int col);

  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The hooks as the model's row source (sx_sheet.cpp).
  class Rows;

  // The viewport rectangle of a record, across the columns shown.
  QRect RecordRect(int row) const;
  int ColumnCount() const;
  // Keeps the marks, their order and the cursor while the model resets its
  // columns; puts them back when there are columns again.
  void HoldMarks();
  void PutBackHeldMarks();
  void ApplyLabelBrushes();
  // Column widths (sx_sheet_widths.cpp): the width a column gets from its
  // length, its records or the user; all columns set again; the stretch
  // column fitted to the viewport; a section dragged by the user.
  int ColumnPixels(int col);
  void ApplyColWidths();
  void FitStretchColumn();
  void OnSectionResized(int col, int oldSize, int newSize);
  void ApplyRowHeight();
  void OnCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  std::vector<int> MarkedRows() const;
  void RestoreMarks(const std::vector<int>& rows, int cursorRow, int cursorCol);
  // After a change of the marks: no marks left gives the cursor's record its
  // mark back; a single mark away from the cursor takes the cursor there.
  void KeepCursorOnASingleMark();

  // The records, columns and header texts; the view keeps how they are
  // shown: sizes, widths, cursor and marks.
  SxSheetModel* model_;
  int recordLines_ = 1;
  int textHeight_ = 14;
  int recMax_ = 0;
  bool markOrder_ = true;
  // Lengths in characters, per column.
  std::vector<int> colLen_;
  int stretchItem_ = -1;
  std::map<int, int> userWidths_;
  // Set while the sheet sizes its sections itself, so that only the user's
  // dragging counts as a user width.
  bool sizingColumns_ = false;
  // Per record: the marking sequence number, 0 when not marked.
  std::vector<unsigned> markSeq_;
  unsigned nextMarkSeq_ = 1;
  // The record the cursor was last reported on (OnRecordChanged).
  int lastRecord_ = -1;
  // Marks and cursor kept while the frame has no columns.
  std::vector<int> heldMarks_;
  int heldCursorRow_ = -1;
  int heldCursorCol_ = -1;
  QKeyEvent* pendingKey_ = nullptr;
  // Set while marks are put back or corrected, so that the rule above does
  // not run on half-restored marks.
  bool restoringMarks_ = false;
  // Set by a cursor move to another cell of the record (Left, Right): only
  // then does scrolling to the cursor move the view sideways.
  bool scrollSideways_ = false;
};

}  // namespace vexa
