// Padlocks that stay true while the page dialog is open: IsLockPage of every
// page is asked again on a timer and the cells whose answer changed are
// repainted; the dialog's checks read the same answers (IsPageLocked), so a
// page freed meanwhile can be chosen. A padlock's tool tip names the holder.
// Each survey is announced, and the drawing sheet asks the drawing lock then.
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

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

bool PageSheet::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip || !member_ || !env_)
    return SxGrpSheet::viewportEvent(event);
  const QPoint at = static_cast<QHelpEvent*>(event)->pos();
  for (int i = 0; i < PageCount(); ++i) {
    if (!pages_[i].locked || !CellRect(i / kColumns, i % kColumns).contains(at)) continue;
    const std::string holder = LockHolderText(
        GetPageLockHolder(*env_, member_->GetPath(*env_, 0), i), FileTimeToUnix(CurrentFileTime()));
    if (!holder.empty()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                         QString::fromStdString("使用中: " + holder), viewport());
      return true;
    }
  }
  QToolTip::hideText();
  event->ignore();
  return true;
}

}  // namespace vexa
