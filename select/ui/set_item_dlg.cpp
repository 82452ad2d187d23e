#include "vexafol/ui/set_item_dlg.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>

#include "select/ui/set_item_dlg_ids.h"
#include "vexafol/ui/drag_list_box.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/resource_ids.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

// The item whose long name is exactly text; null when none.
const ItemDef* ItemByLongName(const QString& text) {
  const std::string name = text.toStdString();
  for (int id = 0; id < kItemDefCount; ++id) {
    const ItemDef* item = FindItemDef(id);
    if (name == item->longName) return item;
  }
  return nullptr;
}

}  // namespace

SetItemDlg::SetItemDlg(int* items, int* itemCount, int* nameMax, QWidget* parent)
    : DialogBase(kTemplateSetItemDlg, parent),
      items_(items),
      itemCount_(itemCount),
      nameMax_(nameMax) {
  SetTemplateFont(kFaceGothic, 12);
  setWindowTitle("表示項目の設定");
  SetTemplateSize(186, 182);
  AddButton(IDOK, "OK", 5, 5, 63, 16);
  AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 77, 5, 63, 16);
  AddLabel(-1, "一覧に表示する項目を設定します", 5, 26, 176, 19);
  AddLabel(-1, "非表示の項目", 14, 52, 51, 8);
  hidden_ = Place(new QListWidget, kIdHiddenItems, 5, 62, 67, 95);
  hidden_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  AddLabel(-1, "表示中の項目", 124, 52, 52, 8);
  shown_ = Place(new DragListBox(kIdShownItems), kIdShownItems, 114, 62, 67, 95);
  connect(AddButton(kIdAddItem, "追加→", 77, 80, 33, 14), &QPushButton::clicked, this,
          &SetItemDlg::AddSelected);
  connect(AddButton(kIdRemoveItem, "←削除", 77, 103, 33, 14), &QPushButton::clicked, this,
          &SetItemDlg::RemoveSelected);
  nameWidth_ = Place(new NumEdit(kIdNameWidth), kIdNameWidth, 77, 164, 38, 12);
  AddLabel(-1, "図面名最大文字数：", 3, 165, 70, 9);
}

bool SetItemDlg::OnInitDialog() {
  DialogBase::OnInitDialog();
  const int* begin = items_;
  const int* end = items_ + std::clamp(*itemCount_, 0, kMaxItems);
  for (const int* id = begin; id != end; ++id) {
    if (const ItemDef* item = FindItemDef(*id)) shown_->AddText(item->longName);
  }
  for (int id = 0; id < kItemDefCount; ++id) {
    if (std::find(begin, end, id) == end) hidden_->addItem(FindItemDef(id)->longName);
  }
  nameWidth_->SetValue(*nameMax_, 1, 100);
  return true;
}

void SetItemDlg::AddSelected() {
  std::vector<int> rows;
  for (QListWidgetItem* item : hidden_->selectedItems()) rows.push_back(hidden_->row(item));
  std::sort(rows.begin(), rows.end());
  const QList<QListWidgetItem*> target = shown_->selectedItems();
  int insertAt = target.isEmpty() ? shown_->count() : shown_->row(target.first());
  for (int row : rows) shown_->insertItem(insertAt++, hidden_->item(row)->text());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) delete hidden_->takeItem(*it);
}

void SetItemDlg::RemoveSelected() {
  const QList<QListWidgetItem*> selected = shown_->selectedItems();
  if (selected.isEmpty()) return;
  hidden_->addItem(selected.first()->text());
  delete shown_->takeItem(shown_->row(selected.first()));
}

void SetItemDlg::OnOK() {
  // Return pressed anywhere but on the OK button does not end the dialog.
  if (focusWidget() != GetDlgItem(IDOK)) return;
  int count = 0;
  for (int row = 0; row < shown_->count() && count < kMaxItems; ++row) {
    if (const ItemDef* item = ItemByLongName(shown_->item(row)->text())) {
      items_[count++] = item->id;
    }
  }
  *itemCount_ = count;
  *nameMax_ = nameWidth_->GetValue();
  EndDialog(IDOK);
}

}  // namespace vexa
