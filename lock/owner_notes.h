// The owner notes one lock service has written: each note is written right
// after its lock was granted, kept open with its live byte locked, and dropped
// (removed, then closed) right before its lock is released. A note that
// cannot be written is left out and the lock stands as it is; nothing here
// ever makes a lock fail or wait.
#pragma once

#include <sys/types.h>

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
  // the folder and file take the store's modes. The note appears complete
  // under its name or not at all (written under a draft name, then renamed).
  void Write(const std::string& lockFolder, const std::string& name);
  // Removes and closes the note, if this service wrote it.
  void Drop(const std::string& lockFolder, const std::string& name);
  // Every note of this service in lockFolder whose name starts with prefix.
  void DropStartingWith(const std::string& lockFolder, const std::string& prefix);
  void DropAll();

  // The notes written and not dropped, for tests and benchmarks.
  size_t Count() const { return written_.size(); }

 private:
  struct Written {
    std::string folder;
    std::string name;
    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
  };
  // The note folder of lockFolder, made when missing; null when it cannot be
  // opened. Kept open for the next note.
  const platform::StoreDir* NoteFolder(const std::string& lockFolder);
  bool Place(const platform::StoreDir& folder, const std::string& name, Written& note);
  void Remove(Written& note);

  std::vector<Written> written_;
  std::map<std::string, platform::StoreDir> folders_;
  LockHolder self_;
  bool selfKnown_ = false;
};

}  // namespace vexa::lock
