// Display item settings of the selection dialog: which display items the
// drawing grid shows, in which order, and how wide the name column is; the
// dialog "表示項目の設定" (template 14011) that changes them; and their
// per-user storage under "VEXA" / "FILEDLG" together with the dialog's last
// size.
#pragma once

#include "vexafol/export.h"
#include "vexafol/ui/dialog_base.h"

class QListWidget;

namespace vexa {

class CEnvironObj;
class DragListBox;
class NumEdit;

// Room for item ids in a display setting.
inline constexpr int kMaxItems = 9;

// Reads the stored settings. items must have room for kMaxItems ids.
// itemCount: ITEM_CNT (clamped to 0..9) entries ITEM_NO0.. read, absent or
// out-of-range ids skipped; none left gives 0, 1, 2, 3, 7. NAME_MAX, when
// stored, becomes the width of item 1 (SetNameMax), taken as it is.
// LASTSIZE_X / LASTSIZE_Y replace lastSizeX / lastSizeY when stored (they
// keep their values otherwise).
VEXA_UI_API void LoadItemSettings(const CEnvironObj& env, int* items, int& itemCount,
                                  int& lastSizeX, int& lastSizeY);
// Writes ITEM_CNT, ITEM_NO0.. for each item, NAME_MAX (the width of item 1),
// LASTSIZE_X and LASTSIZE_Y, in that order, each as a decimal text. Entries
// beyond the count stay as they were.
VEXA_UI_API void SaveItemSettings(const CEnvironObj& env, const int* items, int itemCount,
                                  int lastSizeX, int lastSizeY);

class VEXA_UI_API SetItemDlg : public DialogBase {
  Q_OBJECT

 public:
  // items (room for kMaxItems), itemCount and nameMax are the selection
  // dialog's settings; they are written back only when the dialog ends with
  // OK.
  SetItemDlg(int* items, int* itemCount, int* nameMax, QWidget* parent = nullptr);

  // The controls, for the dialog's own use and for tests.
  QListWidget* HiddenList() const { return hidden_; }
  DragListBox* ShownList() const { return shown_; }
  NumEdit* NameWidthEdit() const { return nameWidth_; }

  // "追加→": moves the selected hidden entries, in their order, before the
  // selected shown entry (or to the end).
  void AddSelected();
  // "←削除": moves the selected shown entry to the end of the hidden list.
  void RemoveSelected();

 protected:
  bool OnInitDialog() override;
  // Acts only while the OK button has the focus: stores the shown entries'
  // item ids, their count and the name width, then ends with OK.
  void OnOK() override;

 private:
  int* items_;
  int* itemCount_;
  int* nameMax_;
  QListWidget* hidden_;
  DragListBox* shown_;
  NumEdit* nameWidth_;
};

}  // namespace vexa
