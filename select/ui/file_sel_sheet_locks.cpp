// Lock states that stay true while the selection dialog is open: the list's
// lock states are asked again on a timer (the load's own survey: a handful of
// range queries per lock file), red rows and the info panel (through
// lockStatesChanged) follow, and a
// locked row names its holder in its tool tip. The refusals at OK read the
// same records, so a drawing freed meanwhile can be chosen; they stay the
// deciding check, the display only informs.
#include <QTimer>

#include "host/ui/loading_window.h"
#include "select/ui/drawing_rows.h"

#include "vexafol/filetime.h"
#include "vexafol/folderlist.h"
#include "vexafol/lock_holder.h"
#include "vexafol/ui/file_sel_sheet.h"

namespace vexa {
namespace {

// Measured (bench/presence_bench): one survey of 999 drawings with one in ten
// held costs about a millisecond locally, so 2 s is far below 1% of a core,
// and on a share it is two listings and a few range queries per folder.
constexpr int kLockWatchMilliseconds = 2000;

}  // namespace

void FileSelSheet::StartLockWatch() {
  auto* timer = new QTimer(this);
  timer->setObjectName(QStringLiteral("lockWatch"));
  timer->setInterval(kLockWatchMilliseconds);
  connect(timer, &QTimer::timeout, this, &FileSelSheet::OnLockWatch);
  timer->start();
}

void FileSelSheet::OnLockWatch() {
  VexaFolderList* list = rows_->List();
  if (WorkerIsRunning() || !list || !isVisible() || list->RefreshLockStates() == 0) return;
  viewport()->update();
  emit lockStatesChanged();
}

void FileSelSheet::GetItemToolTip(int row, int, std::string& text) {
  const FolMember* member = GetRowMember(row);
  if (!member || member->lockState == 0 || !rows_->Env()) return;
  const std::string holder = LockHolderText(GetInUseHolder(*rows_->Env(), member->path),
                                            FileTimeToUnix(CurrentFileTime()));
  if (!holder.empty()) text = "使用中: " + holder;
}

}  // namespace vexa
