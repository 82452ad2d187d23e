#include "lock/owner_notes.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/folder_mode.h"

namespace vexa::lock {
namespace {

bool WriteAll(int fd, const std::string& text) {
  platform::Env& env = platform::CurrentEnv();
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = env.Write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

bool LockLiveByte(int fd) {
  struct flock live {};
  live.l_type = F_WRLCK;
  live.l_whence = SEEK_SET;
  live.l_start = static_cast<off_t>(kNoteLiveByte);
  live.l_len = 1;
  return platform::CurrentEnv().Lock(fd, F_OFD_SETLK, live) == 0;
}

}  // namespace

OwnerNotes::~OwnerNotes() {
  DropAll();
}

const OwnerNotes::NoteFolderOpen* OwnerNotes::NoteFolder(const std::string& lockFolder) {
  const auto known = folders_.find(lockFolder);
  if (known != folders_.end()) return &known->second;
  platform::StoreDir parent;
  if (platform::StoreDir::OpenBelow(lockFolder, lockFolder, parent) != 0) return nullptr;
  NoteFolderOpen notes;
  int rc = parent.OpenDir(kNoteFolder, notes.dir);
  if (rc == -ENOENT) {
    const int made = parent.MakeDir(kNoteFolder);
    if (made != 0 && made != -EEXIST) return nullptr;
    rc = parent.OpenDir(kNoteFolder, notes.dir);
  }
  // The mode of the notes is asked once per folder: a lock on a share then
  // costs the open, write and lock of one small file.
  struct stat self;
  if (rc != 0 || notes.dir.Stat("", self) != 0) return nullptr;
  notes.umaskDecides = (self.st_mode & S_ISVTX) != 0;
  notes.fileMode = notes.umaskDecides ? 0666 : platform::FileModeIn(self.st_mode);
  return &(folders_[lockFolder] = std::move(notes));
}

bool OwnerNotes::Place(const NoteFolderOpen& folder, const std::string& name, Written& note) {
  // Written in place: until its live byte is locked, after the whole text,
  // nobody believes the file, so a reader never takes half a note for one.
  const mode_t umask = folder.umaskDecides ? 0 : umask_;
  note.fd = folder.dir.CreateFile(name, folder.fileMode, umask);
  if (note.fd == -EEXIST) {
    // A note its writer left when it ended (this service holds the lock now)
    // or something planted: the entry itself goes, never what a link points at.
    folder.dir.RemoveFile(name);
    note.fd = folder.dir.CreateFile(name, folder.fileMode, umask);
  }
  if (note.fd < 0) return false;
  if (WriteAll(note.fd, FormatNote(self_)) && LockLiveByte(note.fd)) return true;
  folder.dir.RemoveFile(name);
  platform::CurrentEnv().Close(note.fd);
  note.fd = -1;
  return false;
}

void OwnerNotes::Write(const std::string& lockFolder, const std::string& name) {
  Drop(lockFolder, name);
  if (!selfKnown_) {
    self_ = ThisProcessAsHolder();
    umask_ = platform::CurrentUmask();
    selfKnown_ = true;
  }
  self_.since = std::time(nullptr);
  Written note{lockFolder, name};
  const NoteFolderOpen* folder = NoteFolder(lockFolder);
  if (folder && !Place(*folder, name, note)) {
    // The kept folder may have been removed or replaced since: once afresh.
    folders_.erase(lockFolder);
    folder = NoteFolder(lockFolder);
    if (folder && !Place(*folder, name, note)) folder = nullptr;
  }
  if (folder) written_.push_back(std::move(note));
}

void OwnerNotes::Remove(Written& note) {
  // While this service holds the lock, whatever stands under the note's name
  // is its note or something planted there: the entry itself goes (a link is
  // removed, never followed), one call on a share.
  const auto folder = folders_.find(note.folder);
  if (folder != folders_.end()) folder->second.dir.RemoveFile(note.name);
  platform::CurrentEnv().Close(note.fd);  // releases the live byte
}

void OwnerNotes::Drop(const std::string& lockFolder, const std::string& name) {
  DropStartingWith(lockFolder, name);  // every note name ends in ".NOTE": only this one
}

void OwnerNotes::DropStartingWith(const std::string& lockFolder, const std::string& prefix) {
  for (auto note = written_.begin(); note != written_.end();) {
    if (note->folder == lockFolder && note->name.compare(0, prefix.size(), prefix) == 0) {
      Remove(*note);
      note = written_.erase(note);
    } else {
      ++note;
    }
  }
}

void OwnerNotes::DropAll() {
  for (Written& note : written_) Remove(note);
  written_.clear();
}

}  // namespace vexa::lock
