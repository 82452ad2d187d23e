#include "vexafol/ui/file_sel_sheet.h"

#include <algorithm>

#include <QTimer>

#include "host/ui/loading_window.h"
#include "host/ui/preview_cache.h"
#include "host/ui/preview_file.h"
#include "select/ui/drawing_rows.h"
#include "select/ui/user_settings.h"
#include "vexafol/drawing_row.h"
#include "vexafol/folderlist.h"
#include "vexafol/senyou.h"
#include "vexafol/text.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/utf8.h"

namespace vexa {
namespace {

constexpr COLORREF kLockedColor = 0x0000FF;
// How soon the backup lookup asks again while a worker holds the environment.
constexpr int kBusyRetryMilliseconds = 100;

// The header text of an item: its caption, with the sort arrow when it is the
// sort column. Brackets only when the column has room for them.
std::string SortHeaderText(const ItemDef& item, bool sorted, int sortDir) {
  std::string text = item.caption;
  if (!sorted) return text;
  const bool roomy = item.width - static_cast<int>(DisplayWidth(item.caption)) >= 4;
  if (sortDir >= 0) {
    text += roomy ? "(↓)" : "↓";
  } else {
    text += roomy ? "(↑)" : "↑";
  }
  return text;
}

}  // namespace

FileSelSheet::FileSelSheet(const FindCriteria& criteria, QWidget* parent)
    : SxSheet(parent), rows_(std::make_unique<DrawingRows>(criteria)) {
  // The name column takes the width the other columns leave free.
  SetStretchItem(1);
  backupLookup_ = new QTimer(this);
  backupLookup_->setObjectName(QStringLiteral("backupLookup"));
  backupLookup_->setSingleShot(true);
  connect(backupLookup_, &QTimer::timeout, this, &FileSelSheet::ReadCurrentBackups);
  StartLockWatch();
}

FileSelSheet::~FileSelSheet() = default;

// --- Set-up ---------------------------------------------------------------------

void FileSelSheet::Init(VexaFolderList* list, FileInfoDlg* infoPanel, const int* items,
                        int itemCount, int initialNo) {
  rows_->Bind(list);
  rows_->SetMemberCount(CountMembers());
  ResetPreviewCache();
  if (infoPanel) {
    connect(this, &FileSelSheet::currentDrawingChanged, infoPanel, &FileInfoDlg::ShowDrawing,
            Qt::UniqueConnection);
    connect(this, &FileSelSheet::lockStatesChanged, infoPanel, &FileInfoDlg::Refresh,
            Qt::UniqueConnection);
  }
  // The stored sort is read before the columns are built, so that the header
  // of the sort column carries its arrow from the start.
  const CEnvironObj& env = list->GetEnvObj();
  sortType_ = kDefaultSortType;
  sortDir_ = kDefaultSortDir;
  ReadUserInt(env, "SORTTYPE", sortType_);
  ReadUserInt(env, "SORTDIR", sortDir_);
  SetupColumns(items, itemCount, 1);
  ResetRows();
  if (sortType_ != 0) ShowSort(SortTypeToItem(sortType_));
  const int record = initialNo > 0 ? FindRecord(initialNo - 1, list->GetAppType()) : -1;
  JumpTo(record >= 0 ? record : 0, 1);
  // The first picture of the dialog shows the backup button as it is.
  ReadCurrentBackups();
}

void FileSelSheet::AttachList(VexaFolderList* list) {
  rows_->Bind(list);
  rows_->SetMemberCount(CountMembers());
  ResetPreviewCache();
  // The records the panel pointed at went with the old load.
  shownMember_ = nullptr;
  shownKey_ = -1;
  emit currentDrawingChanged(nullptr, QImage());
}

void FileSelSheet::SetupColumns(const int* items, int itemCount, int multi) {
  const int sortItem = rows_->List() && sortType_ != 0 ? SortTypeToItem(sortType_) : -1;
  ClearFrame();
  SetHeaderRow(1);
  SetRecRow(1);
  SetColNum(itemCount);
  SetTextHeight(14);
  for (int i = 0; i < itemCount; ++i) {
    const int id = items[i];
    const ItemDef* item = FindItemDef(id);
    const std::string header = item ? SortHeaderText(*item, id == sortItem, sortDir_) : "";
    AddText(0, i, header.c_str(), id);
    SetColLen(i, item ? item->width : 0);
    AddItem(1, i, id, id == 0 ? 1 : 0);
    if (item) SetDataForm(id, item->form);
  }
  MultiSelect(multi);
  EnableMarkOrder(1);
}

void FileSelSheet::ResetPreviewCache() {
  if (!previewCache_) previewCache_ = std::make_unique<PreviewCache>();
  previewCache_->Reset(rows_->MemberCount());
}

// --- Rows -----------------------------------------------------------------------

int FileSelSheet::CountMembers() {
  return rows_->List() ? rows_->List()->GetFolderNum() : 0;
}

const FolMember* FileSelSheet::GetMember(int key) const {
  return rows_->List() ? rows_->List()->GetSortedFolderMember(key) : nullptr;
}

int FileSelSheet::GetMemberIndex(int key) const {
  return rows_->List() ? rows_->List()->ToSortedIndex(key) : -1;
}

void FileSelSheet::ResetRows() {
  rows_->ShowAll();
  ApplyRowCount();
}

int FileSelSheet::ArrangeRows() {
  return 1;  // the list itself is in the sheet's order
}

int FileSelSheet::ApplyFilter() {
  std::vector<int> kept;
  for (int key = 0; key < rows_->MemberCount(); ++key) {
    if (rows_->Matches(GetMember(key))) kept.push_back(key);
  }
  if (kept.empty()) return 0;
  rows_->Show(std::move(kept));
  ApplyRowCount();
  DrawPage();
  return 1;
}

void FileSelSheet::ApplyRowCount() {
  SetRecMax(rows_->Count());
  SetRecCnt(rows_->Count());
}

int FileSelSheet::GetRowKey(int row) const {
  return row < GetRecCnt() ? rows_->KeyAt(row) : -1;
}

const FolMember* FileSelSheet::GetRowMember(int row) const {
  const int key = GetRowKey(row);
  return key >= 0 ? GetMember(key) : nullptr;
}

int FileSelSheet::GetCurrentKey() const {
  int row = -1;
  GetEditPos(&row, nullptr);
  return GetRowKey(row);
}

int FileSelSheet::FindRecord(int drawingIndex, int appId) const {
  const CEnvironObj* env = rows_->Env();
  if (drawingIndex < 0 || !env) return -1;
  for (int row = 0; row < GetRecCnt(); ++row) {
    const int key = GetRowKey(row);
    const FolMember* member = GetMember(key);
    if (member ? member->GetFolderNo(*env) == drawingIndex && member->appId == appId
               : GetMemberIndex(key) == drawingIndex) {
      return row;
    }
  }
  return -1;
}

bool FileSelSheet::IsSearching() const {
  return rows_->Searching();
}

// --- Search ---------------------------------------------------------------------

void FileSelSheet::PlaceCursor(int row) {
  JumpTo(row >= 0 && row < GetRecCnt() ? row : 0, 1);
  setFocus();
}

bool FileSelSheet::ApplySearch(const FindCriteria& criteria) {
  int row = -1;
  GetEditPos(&row, nullptr);
  rows_->SetCriteria(criteria);
  if (!ApplyFilter()) return false;
  rows_->SetSearching(true);
  PlaceCursor(row);
  emit searchChanged();
  return true;
}

void FileSelSheet::ClearSearch() {
  int row = -1;
  GetEditPos(&row, nullptr);
  ResetRows();
  rows_->SetSearching(false);
  PlaceCursor(row);
  emit searchChanged();
}

void FileSelSheet::Refresh() {
  int row = -1;
  GetEditPos(&row, nullptr);
  ResetRows();
  // A search that no longer matches anything ends: every record is shown.
  if (rows_->Searching() && !ApplyFilter()) rows_->SetSearching(false);
  PlaceCursor(row);
  emit searchChanged();
}

// --- Sorting --------------------------------------------------------------------

void FileSelSheet::OnHeaderClick(int itemId) {
  const ItemDef* item = FindItemDef(itemId);
  if (!item || item->sortType == 0) return;  // not a sortable column: nothing changes
  if (sortType_ != 0) {
    const ItemDef* shown = FindItemDef(SortTypeToItem(sortType_));
    SetTextString(shown->id, shown->caption);
  }
  if (item->sortType == sortType_) {
    sortDir_ = -sortDir_;
  } else {
    sortDir_ = 1;
    sortType_ = item->sortType;
  }
  ShowSort(itemId);
}

void FileSelSheet::ShowSort(int item) {
  if (const ItemDef* def = FindItemDef(item)) {
    SetTextString(item, SortHeaderText(*def, true, sortDir_).c_str());
  }
  int col = -1;
  GetEditPos(nullptr, &col);
  rows_->List()->SetSortType(sortType_, sortDir_);
  WriteUserInt(*rows_->Env(), "SORTTYPE", sortType_);
  WriteUserInt(*rows_->Env(), "SORTDIR", sortDir_);
  ArrangeRows();
  if (rows_->Searching()) ApplyFilter();
  DrawPage();
  JumpTo(0, std::max(col, 0));
  setFocus();
  // The cursor may stay on record 0 while another drawing moved there.
  int row = -1;
  GetEditPos(&row, nullptr);
  if (row >= 0 && (GetRowKey(row) != shownKey_ || GetRowMember(row) != shownMember_)) {
    ShowRecord(row);
  }
}

// --- Hooks ----------------------------------------------------------------------

int FileSelSheet::GetCellState(int row, int) {
  return row >= 0 && row < GetRecCnt() ? 2 : 0;
}

void FileSelSheet::GetItemText(int row, int itemId, std::string& text) {
  if (const FolMember* member = GetRowMember(row)) MemberItemText(*member, itemId, text);
}

void FileSelSheet::GetWidestText(int itemId, std::string& text) {
  const VexaFolderList* list = rows_->List();
  if (itemId != 0 || !list) return;
  // The number column of a list of backups shows "履歴n" and "※n" (n up to
  // 999); looked up once per loaded list.
  if (widestNoGeneration_ != rows_->Generation()) {
    widestNoGeneration_ = rows_->Generation();
    widestNo_.clear();
    for (int i = 0; i < list->GetFolderNum(); ++i) {
      const FolMember* member = list->GetFolderMember(i);
      if (!member) continue;
      const std::string number = DrawingColumnText(*rows_->Env(), *member, 0);
      if (number.rfind("履歴", 0) == 0) {
        widestNo_ = "履歴999";
        break;
      }
      if (number.rfind("※", 0) == 0) widestNo_ = "※999";
    }
  }
  text = widestNo_;
}

void FileSelSheet::MemberItemText(const FolMember& member, int itemId, std::string& text) const {
  text = DrawingColumnText(*rows_->Env(), member, itemId);
}

int FileSelSheet::GetItemColor(int row, int, COLORREF& color) {
  const FolMember* member = GetRowMember(row);
  if (member && member->lockState != 0) color = kLockedColor;
  return 1;
}

void FileSelSheet::OnRecordChanged(int row, int) {
  if (row >= 0 && row < GetRecCnt()) ShowRecord(row);
}

void FileSelSheet::ShowRecord(int row) {
  const int key = GetRowKey(row);
  const FolMember* member = GetMember(key);
  shownKey_ = key;
  shownMember_ = member;
  emit currentDrawingChanged(member, GetPreview(key));
  if (!member) return;
  // Listing the drawing's folder waits for the event loop: moving through
  // the records reads nothing, and a drawing is listed once per load.
  const DrawingRows::Backups known = rows_->KnownBackups(GetMemberIndex(key));
  emit currentHasBackups(known == DrawingRows::Backups::kSome);
  if (known == DrawingRows::Backups::kUnknown) backupLookup_->start(0);
}

void FileSelSheet::ReadCurrentBackups() {
  backupLookup_->stop();
  // While another dialog's reading runs on a worker, the environment is the
  // worker's: ask again after it.
  if (WorkerIsRunning()) {
    backupLookup_->start(kBusyRetryMilliseconds);
    return;
  }
  const int key = GetCurrentKey();
  const FolMember* member = key >= 0 ? GetMember(key) : nullptr;
  if (!member) return;
  const int index = GetMemberIndex(key);
  if (rows_->KnownBackups(index) != DrawingRows::Backups::kUnknown) return;
  emit currentHasBackups(rows_->ReadBackups(index, *member));
}

void FileSelSheet::OnRecordMouse(unsigned message, int row, int) {
  if (message != WM_LBUTTONDBLCLK) return;
  if (row < GetPageTop() || row > GetPageBot()) return;
  emit confirmRequested();
}

void FileSelSheet::OnKeyDown(unsigned key, unsigned repeat, unsigned flags) {
  if (key == VK_RETURN) {
    emit confirmRequested();
    return;
  }
  SxSheet::OnKeyDown(key, repeat, flags);
}

// --- Previews -------------------------------------------------------------------

QImage FileSelSheet::GetPreview(int key) {
  const int index = GetMemberIndex(key);
  if (index < 0 || index >= rows_->MemberCount() || !previewCache_) return QImage();
  const QImage cached = previewCache_->Find(index);
  if (!cached.isNull()) return cached;
  const FolMember* member = GetMember(key);
  if (!member) return QImage();
  // A failed load keeps nothing, so the next request tries again.
  const QImage loaded = LoadPreview(member->GetPageBmpFile(*rows_->Env(), 0, 0));
  previewCache_->Keep(index, loaded);
  return loaded;
}

int FileSelSheet::CachedPreviewCount() const {
  return previewCache_ ? previewCache_->Count() : 0;
}

}  // namespace vexa
