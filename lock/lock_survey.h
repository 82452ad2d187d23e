// The lock states of many drawings of one folder, as a folder-list load asks
// for them (the drawing test, then the page test where the drawing is free),
// at a cost that follows the locks held instead of the drawings: the drawing
// lock file of a slot is asked once by byte range for every byte that another
// holder has locked, and a page lock file is looked at only when the folder's
// listing holds it. The answers are those of IsLockZmn and IsExistLockPage of
// the same service; where a shortcut could answer otherwise (the slot's lock
// files lie in another folder, the file system refuses range queries, the
// drawing lock file cannot be opened) the survey asks the service itself.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "lock/lock_records.h"
#include "lock/page_probe.h"
#include "vexafol/environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/store_layout.h"

namespace vexa {

namespace lock {

class LockSurvey {
 public:
  // service: the load's service, which must hold no locks of its own (its own
  // locks refuse its probes but are invisible to range queries). folder: the
  // directory that was listed; pageLockNames: the names of its entries that may
  // be page lock files ("FOL%03d.LOC", exact spelling).
  LockSurvey(VexaFolderLock& service, std::string folder, std::set<std::string> pageLockNames);

  // The page lock file to probe (ProbePageLockFile) for the drawing path
  // before its state is asked, so that the probes of many drawings can run on
  // other threads: the one the listing holds beside it, or "" when its state
  // needs none.
  std::string PageLockToProbe(const std::string& path) const;

  // 1 when IsLockZmn(path) answers 1, else 2 when IsExistLockPage(path)
  // answers 1, else 0. applicationId: GetPathToSenyouId of path (the caller
  // keeps it per folder). probed: the probe of PageLockToProbe(path), taken
  // since the folder was listed, when there is one.
  int StateOf(const std::string& path, int applicationId,
              std::optional<PageProbe> probed = std::nullopt);

 private:
  enum class SlotMode { Unknown, Survey, Service };
  int ServiceStateOf(const std::string& path);

  VexaFolderLock& service_;
  VexaFolderLockInfo& table_;
  std::string folder_;
  std::set<std::string> pageLockNames_;
  SlotMode modes_[VexaFolderLockInfo::kSlots] = {};
  DrawingNumberBits locked_[VexaFolderLockInfo::kSlots];
};

}  // namespace lock
}  // namespace vexa
