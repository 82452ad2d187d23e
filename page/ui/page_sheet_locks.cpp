// Padlocks that stay true while the page dialog is open: IsLockPage of every
// page is asked again on a timer and the cells whose answer changed are
// repainted; the dialog's checks read the same answers (IsPageLocked), so a
// page freed meanwhile can be chosen. A page in use names its holder in its
// tool tip.
// Each survey is announced, and the drawing sheet asks the drawing lock then.
#include <QTimer>

#include "host/ui/loading_window.h"
#include "page/ui/page_sheet.h"
#include "vexafol/filetime.h"
#include "vexafol/lock_holder.h"

namespace vexa {
namespace {

// The same period as the selection dialog's re-survey; a page test is one
// probe of a byte of the page lock file, which stays open between looks.
constexpr int kLockWatchMilliseconds = 2000;

}  // namespace

void PageSheet::StartLockWatch() {
  if (lockWatch_) return;
  lockWatch_ = new QTimer(this);
  lockWatch_->setInterval(kLockWatchMilliseconds);
  connect(lockWatch_, &QTimer::timeout, this, &PageSheet::OnLockWatch);
  lockWatch_->start();
}

void PageSheet::OnLockWatch() {
  if (WorkerIsRunning() || !lock_ || !member_ || !env_ || !isVisible()) return;
  const std::string drawing = member_->GetPath(*env_, 0);
  bool changed = false;
  for (int i = 0; i < PageCount(); ++i) {
    const int locked = lock_->IsLockPage(drawing.c_str(), i);
    changed = changed || locked != pages_[i].locked;
    pages_[i].locked = locked;
  }
  if (changed) viewport()->update();
  emit locksSurveyed();
}

void PageSheet::GetCellToolTip(int row, int col, std::string& text) {
  const int page = PageAt(row, col);
  if (page < 0 || !pages_[page].locked || !member_ || !env_) return;
  const std::string holder =
      LockHolderText(GetPageLockHolder(*env_, member_->GetPath(*env_, 0), page),
                     FileTimeToUnix(CurrentFileTime()));
  if (!holder.empty()) text = "使用中: " + holder;
}

}  // namespace vexa
