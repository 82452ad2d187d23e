// The drawing grid of the selection dialog: FileSelSheet shows one record per
// drawing of a VexaFolderList in the list's sort order; FileAddSheet shows one
// record per drawing number (1 up to the highest number in use plus one), so
// that free numbers can be chosen for writing a new drawing.
//
// Records map to member keys through the sheet's rows (the load shown and
// the keys in display order): for FileSelSheet a position in the list's sort
// order, for FileAddSheet a drawing index (number - 1). Cell texts come from
// the in-memory records only; the files a sheet reads are the first page
// preview of the record under the cursor, cached per member, and whether a
// drawing has backup folders, once per load and never on the cursor move
// itself. The info panel and the dialog's buttons follow the sheet's
// signals.
#pragma once

#include <QImage>

class QTimer;

#include <memory>
#include <string>
#include <vector>

#include "vexafol/export.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folderlist.h"
#include "vexafol/folmember.h"
#include "vexafol/ui/sx_sheet.h"

namespace vexa {

class CEnvironObj;
class DrawingRows;
class FileInfoDlg;
class PreviewCache;
class VexaFolderList;

// One display item (a column the grid can show).
struct ItemDef {
  int id;                // the index in the table, 0 to 8
  const char* caption;   // header text (UTF-8)
  int width;             // column width in characters (CP932 bytes)
  unsigned char form;    // data form handed to the grid (0 left, 1 centred, 2 right)
  const char* longName;  // name in the display-item settings
  int sortType;          // folder-list sort type of a header click, 0 for none
};

// Number of display items.
inline constexpr int kItemDefCount = 9;
// Default width of the drawing-name column (item 1).
inline constexpr int kDefaultNameMax = 65;

// The item with that id; null when id is not 0 to 8.
VEXA_UI_API const ItemDef* FindItemDef(int id);
// The width of item 1 ("図面名"), the table's only mutable entry. It is shared
// by every grid of the process (the selection dialogs set it from the stored
// NAME_MAX before they build their columns).
VEXA_UI_API int GetNameMax();
VEXA_UI_API void SetNameMax(int width);
// The item whose header carries the arrow of sort type t: 6 -> 0, 7 -> 1,
// 1 -> 2, 8 -> 3, 2 -> 4, 3 -> 5, 4 -> 6, 5 -> 7, any other type -> 0.
VEXA_UI_API int SortTypeToItem(int sortType);

class VEXA_UI_API FileSelSheet : public SxSheet {
  Q_OBJECT

 public:
  // Copies criteria; nothing bound yet, not searching. Sort fields get their
  // values in Init.
  explicit FileSelSheet(const FindCriteria& criteria, QWidget* parent = nullptr);
  ~FileSelSheet() override;

  // Binds the sheet to list (not owned) and its environment, connects the
  // info panel (not owned, may be null) to currentDrawingChanged and
  // lockStatesChanged, builds the columns for items (multiple marking on)
  // and the records, restores the stored sort order (re-sorting the list and
  // writing it back), and puts the cursor in column 1 of the record of
  // drawing number initialNo whose application id equals the list's mask, or
  // on record 0 when initialNo is 0 or no record is found. Whether that
  // drawing has backups is read before Init returns.
  void Init(VexaFolderList* list, FileInfoDlg* infoPanel, const int* items, int itemCount,
            int initialNo);
  // Re-binds to list after it was reloaded: the preview cache is dropped and
  // rebuilt empty, what was read of backups is forgotten, and
  // currentDrawingChanged reports no drawing (the old records are gone). The
  // records are rebuilt by the caller (ClearSearch or Refresh).
  void AttachList(VexaFolderList* list);
  // Rebuilds the columns for the given item ids (ids outside 0 to 8 give
  // empty columns); multi switches multiple marking. Records, cursor and
  // marks stay. The header of the sort column keeps its arrow.
  void SetupColumns(const int* items, int itemCount, int multi);

  // Filters the records by criteria (kept in the sheet in any case). False
  // when nothing matches: records and search state stay as they were. True:
  // searching, cursor on column 1 of the same record number when it still
  // exists, else of record 0, focus taken.
  bool ApplySearch(const FindCriteria& criteria);
  // Shows every record again and ends the search; cursor as for ApplySearch.
  void ClearSearch();
  // Rebuilds the records (after the list changed) and re-applies an active
  // search with the sheet's criteria.
  void Refresh();

  // The first-page preview of the member of key, loaded from its
  // "page000.bmp" (in any case) on first use and cached; a null image when the member has
  // none or it cannot be loaded (the next call tries again). The cache holds
  // at most 256 MiB of pictures: the ones shown longest ago make room.
  QImage GetPreview(int key);
  // The record that shows drawing index drawingIndex with application id
  // appId (a free FileAddSheet number matches on its index alone); -1 when
  // none or when drawingIndex is negative.
  int FindRecord(int drawingIndex, int appId) const;

  // The member of a member key; null for none (out of range, free number).
  virtual const FolMember* GetMember(int key) const;
  // The index of the member in the list's creation-time order (the preview
  // cache slot); -1 outside.
  virtual int GetMemberIndex(int key) const;
  // Number of member keys.
  virtual int CountMembers();
  // Shows every member key as a record.
  virtual void ResetRows();
  // Orders the records after a sort change; non-zero when rows were written.
  virtual int ArrangeRows();
  // Keeps the records whose member matches the criteria. 0 (records
  // unchanged) when none matches, else 1 and the sheet redrawn.
  virtual int ApplyFilter();

  // The member key of record row; -1 outside the records.
  int GetRowKey(int row) const;
  // The member of record row (GetMember of its key); null outside.
  const FolMember* GetRowMember(int row) const;
  // The key of the record under the cursor; -1 without a cursor.
  int GetCurrentKey() const;

  bool IsSearching() const;
  // Number of previews currently held by the cache.
  int CachedPreviewCount() const;

 signals:
  // A double click on a visible record or Return: the dialog moves its focus
  // to its OK button (1) and runs its confirm operation.
  void confirmRequested();
  // A search was applied, cleared or renewed (IsSearching and GetRecCnt
  // tell the outcome).
  void searchChanged();
  // The cursor moved to another record: the drawing it shows (null for a
  // free number, or for none after AttachList) and its first-page preview.
  void currentDrawingChanged(const vexa::FolMember* member, const QImage& preview);
  // Whether the drawing under the cursor has backup folders ("BKUP.*"). On a
  // move to a drawing not looked at since the load it is false at once, and
  // true once the folder was listed (by the event loop, after the move); a
  // free number sends nothing. The dialog's backup button follows it.
  void currentHasBackups(bool hasBackups);
  // The list's lock states were asked again and changed; the rows are
  // repainted.
  void lockStatesChanged();

 protected:
  int GetCellState(int row, int col) override;
  void GetItemText(int row, int itemId, std::string& text) override;
  void GetWidestText(int itemId, std::string& text) override;
  int GetItemColor(int row, int col, COLORREF& color) override;
  // A locked record: who has it in use ("使用中: 山田太郎 (PC-12) 10:03 から").
  void GetItemToolTip(int row, int col, std::string& text) override;
  void OnRecordChanged(int row, int col) override;
  void OnHeaderClick(int itemId) override;
  void OnRecordMouse(unsigned message, int row, int col) override;
  void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;

  // Shows the sort arrow on item, hands the sort to the list, stores it,
  // re-arranges (and re-filters) the records and puts the cursor on record 0.
  void ShowSort(int item);
  // Text of a record's member for itemId (shared with FileAddSheet).
  void MemberItemText(const FolMember& member, int itemId, std::string& text) const;
  // Sets the record count and maximum to the rows shown.
  void ApplyRowCount();
  // Moves the cursor to column 1 of row when it is a record, else of record 0,
  // and takes the focus.
  void PlaceCursor(int row);

  // The load shown, the records' member keys and the search (drawing_rows.h).
  std::unique_ptr<DrawingRows> rows_;
  int sortType_ = kDefaultSortType;
  int sortDir_ = kDefaultSortDir;
  // The widest mark of the number column and the list load it was found for.
  std::string widestNo_;
  int widestNoGeneration_ = -1;

 private:
  // Reports the drawing of record row and what is known of its backups.
  void ShowRecord(int row);
  // Reads whether the drawing under the cursor has backups, when that is not
  // known yet, and reports it.
  void ReadCurrentBackups();
  void ResetPreviewCache();

  // Asks the list's lock states again every kLockWatchMilliseconds while the
  // sheet is shown, and repaints the rows when they changed.
  void StartLockWatch();
  void OnLockWatch();

  std::unique_ptr<PreviewCache> previewCache_;
  // Runs ReadCurrentBackups from the event loop, after a cursor move.
  QTimer* backupLookup_ = nullptr;
  // The record last reported by currentDrawingChanged.
  int shownKey_ = -1;
  const FolMember* shownMember_ = nullptr;
};

class VEXA_UI_API FileAddSheet : public FileSelSheet {
  Q_OBJECT

 public:
  explicit FileAddSheet(const FindCriteria& criteria, QWidget* parent = nullptr);
  ~FileAddSheet() override;

  const FolMember* GetMember(int key) const override;
  int GetMemberIndex(int key) const override;
  // Highest drawing number in use plus one (1 for an empty list).
  int CountMembers() override;
  void ResetRows() override;
  // Sorted by number: every index ascending or descending. Otherwise the
  // drawings in the list's order, then the free numbers ascending.
  int ArrangeRows() override;
  int ApplyFilter() override;

 protected:
  // Free numbers: "%d" and "新　規　書　込"; drawings as FileSelSheet.
  void GetItemText(int row, int itemId, std::string& text) override;

 private:
  // The record keys of the current sort: see ArrangeRows.
  std::vector<int> Arrangement() const;

  // Members by drawing index, null for a free number; built once per load.
  std::vector<const FolMember*> slots_;
  int slotsGeneration_ = -1;
};

}  // namespace vexa
