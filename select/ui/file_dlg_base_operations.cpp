// The drawing operations of the selection dialog: deleting the current
// drawing into the recycle folder, the two restores, which let the user pick
// a recycled drawing or a backup in a second dialog, and the page list.
#include <QPushButton>

#include <memory>

#include "page/ui/page_dlg.h"
#include "select/ui/file_dlg_base.h"
#include "vexafol/hooks.h"
#include "vexafol/recycle.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/message_box.h"

namespace vexa {
namespace {

constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;

}  // namespace

void FileDlgBase::OnDelete() {
  const CEnvironObj& env = list_->GetEnvObj();
  if (!env.IsOpeAllowed(kOpeDeleteDrawing)) return;
  if (list_->GetFolderNum() <= 0) return;
  currentKey_ = sheet_->GetCurrentKey();
  const FolMember* current = sheet_->GetMember(currentKey_);
  if (!current) return;
  const FolMember member = *current;  // the reload below replaces the records

  const std::string refusal = DeleteRefusal(member, flagWord_);
  if (!refusal.empty()) {
    MessageBox(this, refusal, kDeleteTitle, kRefusal);
    return;
  }
  const std::string label = DeleteLabel(env, member);
  if (MessageBox(this, DeleteQuestion(label), kDeleteTitle,
                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return;
  }
  std::string error;
  if (MoveToRecycle(env, member, error)) {
    MessageBox(this, DeleteDone(label), kDeleteTitle, MB_OK | MB_ICONINFORMATION);
  } else {
    MessageBox(this, DeleteFailed(label, error), kDeleteTitle, kRefusal);
  }

  {
    WaitCursor wait;
    list_->Reload();
  }
  if (list_->GetFolderNum() > 0) {
    sheet_->AttachList(list_);
    sheet_->Refresh();
  } else {
    EndDialog(IDCANCEL);
  }
}

void FileDlgBase::OnRestore() {
  restoreList_ = std::make_unique<VexaFolderList>(list_->GetEnvObj());
  {
    WaitCursor wait;
    restoreList_->Load(list_->GetAppType(), VexaFolderList::kLoadRecycled);
  }
  if (restoreList_->GetFolderNum() <= 0) {
    MessageBox(this, "復帰する図面がありません", "図面削除の復帰", kRefusal);
    return;
  }
  RunRestoreDialog();
}

void FileDlgBase::OnBackupRestore() {
  constexpr const char* kTitle = "ﾊﾞｯｸｱｯﾌﾟ復帰";
  currentKey_ = sheet_->GetCurrentKey();
  const FolMember* member = sheet_->GetMember(currentKey_);
  if (!member) return;
  if (member->lockState != 0) {
    MessageBox(this, "この図面はロックされています", kTitle, kRefusal);
    return;
  }
  restoreList_ = std::make_unique<VexaFolderList>(list_->GetEnvObj());
  restoreList_->SetLoadPath(member->path);
  {
    WaitCursor wait;
    restoreList_->Load(member->appId, VexaFolderList::kLoadBackups);
  }
  if (restoreList_->GetFolderNum() <= 0) {
    MessageBox(this, "復帰する図面がありません", kTitle, kRefusal);
    return;
  }
  RunRestoreDialog();
}

void FileDlgBase::OnPageList() {
  if (list_->GetFolderNum() <= 0) return;
  currentKey_ = sheet_->GetCurrentKey();
  selKeys_ = {currentKey_};
  const FolMember* member = sheet_->GetMember(currentKey_);
  if (!member) return;
  const int page = RunPageDialog(this, list_->GetEnvObj(), kindWord_ | flagWord_, member,
                                 list_->GetFolderLock());
  if (page < 0) return;
  pageNo_ = page;
  okButton_->setFocus();
  EndDialog(IDOK);
}

void FileDlgBase::RunRestoreDialog() {
  RestoreSelDlg dialog(restoreList_.get(), this);
  if (dialog.DoModal() != IDOK) return;
  selectSource_ = 1;
  selKeys_ = dialog.GetSelKeys();
  EndWithOK();
}

}  // namespace vexa
