// Makes the records of one folder-list load: the folders of every scan are
// queued first, then all their index files are read in one overlapped pass
// (on a share many requests are in flight at once, across folders too) while
// the records are made in the order queued.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/folmember.h"

namespace vexa {

namespace lock {
class LockSurvey;
}

namespace folder_list {

class RecordMaker {
 public:
  RecordMaker(const CEnvironObj& env, std::vector<FolMember>& out);
  ~RecordMaker();
  RecordMaker(const RecordMaker&) = delete;
  RecordMaker& operator=(const RecordMaker&) = delete;

  // Queues the folders, in the order given, for records of application appId.
  // survey: where their lock states come from (kept until Finish); null gives
  // state 0.
  void Add(const std::vector<std::string>& folders, int appId,
           std::unique_ptr<lock::LockSurvey> survey);

  // Appends the records of the queued folders whose index files read, in the
  // order queued. progress(read, queued) is called on this thread before the
  // first read (read 0) and after each folder; when it answers false no further index file is read
  // and Finish answers false at once (the records appended so far stay).
  bool Finish(const std::function<bool(int read, int queued)>& progress);

 private:
  struct Queued {
    std::string folder;
    std::string index;     // its index file
    std::string pageLock;  // the page lock file to probe, or ""
    int appId = 0;
    lock::LockSurvey* survey = nullptr;
  };

  // GetPathToSenyouId of the drawing folder, which decides its lock slot.
  int SlotIdOf(const std::string& folder);

  const CEnvironObj& env_;
  std::vector<FolMember>& out_;
  std::vector<Queued> queued_;
  std::vector<std::unique_ptr<lock::LockSurvey>> surveys_;
  std::map<std::string, int> idByDirectory_;
};

}  // namespace folder_list
}  // namespace vexa
