#include "lock/lock_survey.h"

#include <utility>

#include "lock/drawing_key.h"
#include "lock/lock_file.h"

namespace vexa::lock {

LockSurvey::LockSurvey(VexaFolderLock& service, std::string folder,
                       std::set<std::string> pageLockNames)
    : service_(service),
      table_(*service.table_),
      folder_(std::move(folder)),
      pageLockNames_(std::move(pageLockNames)) {}

int LockSurvey::ServiceStateOf(const std::string& path) {
  if (service_.IsLockZmn(path.c_str())) return 1;
  return service_.IsExistLockPage(path.c_str()) ? 2 : 0;
}

std::string LockSurvey::PageLockToProbe(const std::string& path) const {
  const CEnvironObj* env = table_.Env();
  if (!env || env->GetDirNameFromRelativePath(path) != folder_) return "";
  const int n = DrawingNumberOf(*env, path);
  if (n < kFirstDrawingNo || n > kLastDrawingNo) return "";
  std::string name = PageLockName(n);
  if (pageLockNames_.count(name) == 0) return "";
  std::string pageLock = folder_;
  env->AddFileName(pageLock, name);
  return pageLock;
}

int LockSurvey::StateOf(const std::string& path, int applicationId,
                        std::optional<PageProbe> probed) {
  const CEnvironObj* env = table_.Env();
  const int slot = SlotOfApplication(applicationId);
  if (!env || slot < 0) return 1;  // no slot: the drawing test cannot answer
  // The listing and the range answers stand only for drawings of the listed
  // folder whose slot keeps its lock files there.
  if (env->GetDirNameFromRelativePath(path) != folder_) return ServiceStateOf(path);
  VexaAppLock& app = table_.Slot(slot);
  SlotMode& mode = modes_[slot];
  if (mode == SlotMode::Unknown) {
    mode = SlotMode::Service;
    if (!app.EnsureOpen(*env, path)) return 1;  // as the drawing test answers
    if (env->GetDirNameFromRelativePath(app.DrawingPath()) == folder_ &&
        app.ForeignLockedBytes(locked_[slot]))
      mode = SlotMode::Survey;
  }
  if (mode == SlotMode::Service) return ServiceStateOf(path);

  const int n = DrawingNumberOf(*env, path);
  if (n < kFirstDrawingNo || n > kLastDrawingNo || locked_[slot][n]) return 1;
  // The drawing is free; its page scan reads the page lock file beside it. The
  // page test would read that same file again, so its answer is already known.
  VexaPageLock& pages = app.Page(n);
  if (!pages.IsOpen()) {
    if (pageLockNames_.count(PageLockName(n)) == 0) return 0;
    // Survey mode: the slot's page lock files are those of the listed folder,
    // so the probe looked at the very file the page scan reads.
    if (probed && *probed != PageProbe::AskService) return *probed == PageProbe::Locked ? 1 : 0;
  }
  return pages.HasForeignPageLock(*env, app.DrawingPath(), n, table_.SlotPaths()) ? 1 : 0;
}

}  // namespace vexa::lock
