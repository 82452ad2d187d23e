#include <algorithm>
#include <cstdio>

#include "select/ui/drawing_rows.h"
#include "vexafol/folderlist.h"
#include "vexafol/store_layout.h"
#include "vexafol/ui/file_sel_sheet.h"

namespace vexa {

FileAddSheet::FileAddSheet(const FindCriteria& criteria, QWidget* parent)
    : FileSelSheet(criteria, parent) {}

FileAddSheet::~FileAddSheet() = default;

int FileAddSheet::CountMembers() {
  // One slot past the highest number in use, so that a new drawing can go
  // after the last one; never past the last drawing number.
  int highest = -1;
  const VexaFolderList* list = rows_->List();
  const int count = list ? list->GetFolderNum() : 0;
  for (int i = 0; i < count; ++i) {
    highest = std::max(highest, list->GetFolderMember(i)->GetFolderNo(*rows_->Env()));
  }
  return std::min(highest + 2, kLastDrawingNo);
}

const FolMember* FileAddSheet::GetMember(int key) const {
  return key >= 0 && key < static_cast<int>(slots_.size()) ? slots_[key] : nullptr;
}

int FileAddSheet::GetMemberIndex(int key) const {
  return key >= 0 && key < static_cast<int>(slots_.size()) ? key : -1;
}

void FileAddSheet::ResetRows() {
  if (slotsGeneration_ != rows_->Generation()) {
    slotsGeneration_ = rows_->Generation();
    slots_.assign(rows_->MemberCount(), nullptr);
    const VexaFolderList& list = *rows_->List();
    for (int i = 0; i < list.GetFolderNum(); ++i) {
      const FolMember* member = list.GetFolderMember(i);
      const int index = member->GetFolderNo(*rows_->Env());
      if (index >= 0 && index < static_cast<int>(slots_.size())) slots_[index] = member;
    }
  }
  ArrangeRows();
  ApplyRowCount();
}

std::vector<int> FileAddSheet::Arrangement() const {
  const int slotCount = static_cast<int>(slots_.size());
  std::vector<int> rows;
  rows.reserve(slotCount);
  if (sortType_ == kSortFolderNo) {
    for (int i = 0; i < slotCount; ++i) rows.push_back(sortDir_ >= 0 ? i : slotCount - 1 - i);
    return rows;
  }
  // The drawings in the list's order (each number once: the member that holds
  // the slot), then the free numbers ascending.
  const VexaFolderList& list = *rows_->List();
  for (int pos = 0; pos < list.GetFolderNum(); ++pos) {
    const FolMember* member = list.GetSortedFolderMember(pos);
    const int index = member->GetFolderNo(*rows_->Env());
    if (index >= 0 && index < slotCount && slots_[index] == member) rows.push_back(index);
  }
  for (int i = 0; i < slotCount; ++i) {
    if (!slots_[i]) rows.push_back(i);
  }
  return rows;
}

int FileAddSheet::ArrangeRows() {
  rows_->Show(Arrangement());
  return rows_->Count() == 0 ? 0 : 1;
}

int FileAddSheet::ApplyFilter() {
  // Always filters the full arrangement, so that a new search is not limited
  // to the results of the one before.
  std::vector<int> kept;
  for (int index : Arrangement()) {
    if (rows_->Matches(slots_[index])) kept.push_back(index);
  }
  if (kept.empty()) return 0;
  rows_->Show(std::move(kept));
  ApplyRowCount();
  DrawPage();
  return 1;
}

void FileAddSheet::GetItemText(int row, int itemId, std::string& text) {
  const int key = GetRowKey(row);
  if (key < 0) return;
  if (const FolMember* member = GetMember(key)) {
    MemberItemText(*member, itemId, text);
    return;
  }
  if (itemId == 0) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", key + 1);
    text = number;
  } else if (itemId == 1) {
    text = "新　規　書　込";
  }
}

}  // namespace vexa
