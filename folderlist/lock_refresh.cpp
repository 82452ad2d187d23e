#include "folderlist/lock_refresh.h"

#include <map>
#include <memory>
#include <set>
#include <string>

#include "lock/lock_file.h"
#include "lock/lock_survey.h"
#include "platform/env.h"
#include "vexafol/senyou.h"

namespace vexa::folderlist {
namespace {

// The names in folder that may be page lock files, exactly as the survey
// wants them ("FOL%03d.LOC").
std::set<std::string> PageLockNamesIn(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  std::set<std::string> names;
  platform::CurrentEnv().ListDir(folder, entries);
  for (platform::DirEntry& entry : entries) {
    if (!entry.isDir && entry.name.size() == 10 && entry.name.compare(0, 3, "FOL") == 0 &&
        entry.name.compare(6, 4, ".LOC") == 0)
      names.insert(std::move(entry.name));
  }
  return names;
}

struct Folder {
  std::unique_ptr<lock::LockSurvey> survey;
  int applicationId = 0;
};

}  // namespace

int RefreshLockStates(const CEnvironObj& env, VexaFolderLock& service,
                      std::vector<FolMember>& members) {
  std::map<std::string, Folder> folders;
  int changed = 0;
  for (FolMember& member : members) {
    const std::string directory = env.GetDirNameFromRelativePath(member.path);
    Folder& folder = folders[directory];
    if (!folder.survey) {
      folder.survey =
          std::make_unique<lock::LockSurvey>(service, directory, PageLockNamesIn(directory));
      folder.applicationId = GetPathToSenyouId(env, member.path);
    }
    const int state = folder.survey->StateOf(member.path, folder.applicationId);
    if (state != member.lockState) {
      member.lockState = state;
      ++changed;
    }
  }
  return changed;
}

}  // namespace vexa::folderlist
