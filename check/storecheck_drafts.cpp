// Drafts left by processes that ended while making a file or folder
// (".vexafol-new.PID.N[.NAME]", which exist for a moment only) or while checking the
// store (".vexafol-check.PID"). One older than a minute has lost its maker,
// whichever computer it ran on. The fix removes an empty one.
#include <ctime>

#include "check/storecheck_parts.h"
#include "platform/folder_mode.h"
#include "platform/store_fs.h"

namespace vexa::check {
namespace {

constexpr time_t kDraftLifetime = 60;  // seconds

bool IsDraftName(const std::string& name) {
  return name.rfind(".vexafol-new.", 0) == 0 || name.rfind(".vexafol-check.", 0) == 0;
}

// Removes the empty draft by descriptor, in the folder that holds it.
bool RemoveEmpty(const StoreTree& tree, const StoreEntry& entry) {
  if (entry.behindLink || (!S_ISDIR(entry.st.st_mode) && entry.st.st_size != 0)) return false;
  platform::StoreDir folder;
  if (platform::StoreDir::OpenBelow(tree.root, platform::FolderOf(entry.path), folder) != 0)
    return false;
  struct stat now;
  if (folder.Stat(entry.name, now) != 0 || now.st_ino != entry.st.st_ino ||
      now.st_dev != entry.st.st_dev)
    return false;  // something else stands under the name now
  return (S_ISDIR(now.st_mode) ? folder.RemoveEmptyDir(entry.name)
                               : folder.RemoveFile(entry.name)) == 0;
}

}  // namespace

void CheckDrafts(const StoreTree& tree, bool fix, StoreCheckReport& report) {
  const time_t now = std::time(nullptr);
  for (const StoreEntry& entry : tree.entries) {
    if (!IsDraftName(entry.name) || now - entry.st.st_mtime < kDraftLifetime) continue;
    StoreFinding finding{"leftover", entry.path,
                         "a draft that a process left when it ended while making a file or folder",
                         "nothing uses it; it only takes a name in the folder",
                         "vexafol check --fix removes it when it is empty"};
    finding.fixed = fix && RemoveEmpty(tree, entry);
    report.Add(finding);
  }
}

}  // namespace vexa::check
