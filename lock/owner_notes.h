// The owner notes one lock service has written: each note is written right
// after its lock was granted, kept open with its live byte locked, and dropped
// (removed, then closed) right before its lock is released. A note that
// cannot be written is left out and the lock stands as it is; nothing here
// ever makes a lock fail or wait.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "lock/owner_note.h"
#include "platform/store_fs.h"

namespace vexa::lock {

class OwnerNotes {
 public:
  OwnerNotes() = default;
  ~OwnerNotes();  // DropAll
  OwnerNotes(const OwnerNotes&) = delete;
  OwnerNotes& operator=(const OwnerNotes&) = delete;

  // Leaves the note `name` in the note folder of lockFolder (the folder of the
  // lock files), made through descriptors of the store: no link is followed,
  // the folder and file take the store's modes. The note is believed only
  // once complete: its live byte is locked after the whole text is written.
  void Write(const std::string& lockFolder, const std::string& name);
  // Removes and closes the note, if this service wrote it (the entry under
  // its name goes, whatever stands there: see Remove).
  void Drop(const std::string& lockFolder, const std::string& name);
  // Every note of this service in lockFolder whose name starts with prefix.
  void DropStartingWith(const std::string& lockFolder, const std::string& prefix);
  void DropAll();

 private:
  // A note folder kept open, with the mode its new files get.
  struct NoteFolderOpen {
    platform::StoreDir dir;
    mode_t fileMode = 0;
    bool umaskDecides = false;  // a public folder (sticky bit)
  };
  struct Written {
    std::string folder;
    std::string name;
    int fd = -1;
  };
  // The note folder of lockFolder, made when missing; null when it cannot be
  // opened. Kept open for the next note.
  const NoteFolderOpen* NoteFolder(const std::string& lockFolder);
  bool Place(const NoteFolderOpen& folder, const std::string& name, Written& note);
  void Remove(Written& note);

  std::vector<Written> written_;
  std::map<std::string, NoteFolderOpen> folders_;
  LockHolder self_;
  mode_t umask_ = 0777;  // read with self_
  bool selfKnown_ = false;
};

}  // namespace vexa::lock
