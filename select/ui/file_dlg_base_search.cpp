// The search command of the selection dialog: the search dialog edits the
// dialog's conditions, the grid shows the drawings that meet them.
#include "select/ui/file_dlg_base.h"
#include "select/ui/find_dlg.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/message_box.h"

namespace vexa {

void FileDlgBase::StartWithSearch(const FindCriteria& criteria) {
  criteria_ = criteria;
  startSearch_ = true;
}

void FileDlgBase::OnSearch() {
  if (!list_) return;
  FindDlg dialog(list_, &criteria_, this);
  if (dialog.DoModal() != IDOK) return;
  if (dialog.IsRelease()) {
    sheet_->ClearSearch();
    return;
  }
  ApplyCriteria();
}

void FileDlgBase::ApplyCriteria() {
  sheet_->ClearSearch();
  if (!sheet_->ApplySearch(criteria_)) {
    // An empty caption: the window system shows the application's name.
    MessageBox(this, "現場がみつかりません、検索を終了します", "", MB_OK);
  }
}

}  // namespace vexa
