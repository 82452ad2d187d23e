// Owner notes (LOCKNOTE/D007.NOTE, LOCKNOTE/P007-3.NOTE beside the lock files)
// whose writer no longer holds them: left by a process that ended without
// dropping its note. They tell nothing (a note is believed only while its live
// byte is locked) and the next holder of the lock replaces them; the fix
// removes them. Anything else in a note folder (a link, a FIFO, a folder, a
// file under another name) was planted: reported, and removed by the fix
// unless it is a folder. Notes being written right now (draft names) are
// the drafts check's.
#include <fcntl.h>

#include "check/storecheck_parts.h"
#include "lock/owner_note.h"
#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/store_fs.h"

namespace vexa::check {
namespace {

// Whether somebody locks the live byte of the note; false when it cannot be
// opened as a regular file without following a link.
bool NoteIsHeld(const platform::StoreDir& folder, const std::string& name) {
  platform::Env& env = platform::CurrentEnv();
  const int fd = folder.OpenFile(name);
  if (fd < 0) return false;
  struct flock query {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  query.l_start = static_cast<off_t>(lock::kNoteLiveByte);
  query.l_len = 1;
  const bool held = env.Lock(fd, F_OFD_GETLK, query) != 0 || query.l_type != F_UNLCK;
  env.Close(fd);
  return held;
}

bool RemoveEntry(const platform::StoreDir& folder, const StoreEntry& entry) {
  struct stat now;
  if (folder.Stat(entry.name, now) != 0) return false;
  // The tree knows a link by what it points at: a link must still be a link,
  // anything else still the same file.
  const bool same = entry.isLink ? S_ISLNK(now.st_mode)
                                 : now.st_ino == entry.st.st_ino && now.st_dev == entry.st.st_dev;
  if (!same) return false;  // something else stands under the name now
  return folder.RemoveFile(entry.name) == 0;
}

}  // namespace

void CheckOwnerNotes(const StoreTree& tree, bool fix, StoreCheckReport& report) {
  for (const StoreEntry& entry : tree.entries) {
    const std::string folderPath = platform::FolderOf(entry.path);
    const size_t slash = folderPath.rfind('/');
    if (slash == std::string::npos ||
        folderPath.compare(slash + 1, std::string::npos, lock::kNoteFolder) != 0 ||
        entry.name.rfind(".vexafol-new.", 0) == 0)
      continue;
    platform::StoreDir folder;
    if (platform::StoreDir::OpenBelow(tree.root, folderPath, folder) != 0) continue;
    const bool regular = !entry.isLink && S_ISREG(entry.st.st_mode);
    const bool note = regular && lock::IsNoteName(entry.name);
    if (note && NoteIsHeld(folder, entry.name)) continue;  // a lock's live note
    StoreFinding finding{"leftover", entry.path,
                         note ? "an owner note whose lock holder is gone"
                              : "something that is no owner note in the owner-note folder",
                         note ? "nobody believes it: a note counts only while its writer "
                                "holds it, and the next holder of the lock replaces it"
                              : "the library never reads it as a note, and never follows "
                                "or opens it as anything but a regular file",
                         "vexafol check --fix removes it"};
    if (S_ISDIR(entry.st.st_mode) && !entry.isLink)
      finding.action = "remove the folder by hand";
    else if (entry.behindLink && !entry.isLink)
      finding.action =
          "it lies behind a symbolic link: vexafol check --fix changes nothing through a "
          "link; remove it by hand where it lies";
    else if (fix)
      finding.fixed = RemoveEntry(folder, entry);
    report.Add(finding);
  }
}

}  // namespace vexa::check
