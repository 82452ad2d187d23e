// The print command of the selection dialog: the drawings the grid shows, in
// its order and with its search applied, printed as a list.
#include <memory>
#include <vector>

#include "select/ui/file_dlg_base.h"
#include "select/ui/print_drawing_list.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/message_box.h"

namespace vexa {

void FileDlgBase::OnPrint() {
  const int count = sheet_->GetRecCnt();
  if (count <= 0) {
    MessageBox(this, "印刷可能なデータがありません", "図面一覧印刷", MB_OK | MB_ICONERROR);
    return;
  }
  std::vector<const FolMember*> members(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row)
    members[static_cast<size_t>(row)] = sheet_->GetRowMember(row);

  // Without the caller's device settings the user's last ones are used, and
  // kept again after a run that reached the preview.
  const CEnvironObj& env = list_->GetEnvObj();
  std::unique_ptr<CFormPrintData> ownDevice;
  CFormPrintData* device = printData_;
  if (!device) {
    ownDevice = std::make_unique<CFormPrintData>();
    ownDevice->LoadPrintData(env, kListPrintDataName);
    device = ownDevice.get();
  }
  const bool previewed =
      PrintDrawingList(this, env, members.data(), count, formPathList_, condMan_, device);
  if (ownDevice && previewed) ownDevice->SavePrintData(env, kListPrintDataName);
}

}  // namespace vexa
