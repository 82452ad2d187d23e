// The info panel names who has the shown drawing in use, in red over the top
// of the preview, from the holder's owner note; nothing while it is free.
#include "vexafol/filetime.h"
#include "vexafol/folderlist.h"
#include "vexafol/lock_holder.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/image_frame.h"

namespace vexa {

void FileInfoDlg::ShowHolder() {
  std::string text;
  if (member_ && list_ && member_->lockState != 0) {
    text = LockHolderText(GetInUseHolder(list_->GetEnvObj(), member_->path),
                          FileTimeToUnix(CurrentFileTime()));
    if (!text.empty()) text = "使用中: " + text;
  }
  if (text.empty()) {
    if (holderLabel_) holderLabel_->hide();
    return;
  }
  if (!holderLabel_) {
    holderLabel_ = new QLabel(this);
    holderLabel_->setObjectName("holder");
    holderLabel_->setStyleSheet("QLabel { color: #c00000; background: rgba(255, 255, 255, 220); }");
  }
  const QRect preview = imageFrame_ ? imageFrame_->geometry() : rect();
  holderLabel_->setGeometry(preview.x() + 3, preview.y() + 3, preview.width() - 6,
                            holderLabel_->fontMetrics().height() + 4);
  holderLabel_->setText(QString::fromStdString(text));
  holderLabel_->setToolTip(holderLabel_->text());
  holderLabel_->raise();
  holderLabel_->show();
}

}  // namespace vexa
