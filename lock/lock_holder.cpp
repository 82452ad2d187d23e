// Reading who holds a lock: the lock byte as every user sees it (a whole-byte
// F_OFD_GETLK on a read-only descriptor of the lock file), then the owner
// note of that byte, believed only while its writer still locks its live
// byte. The writer takes the live byte after its lock was granted and lets it
// go before releasing the lock, so a believed note names a process that held
// the lock at the moment it was read.
#include "vexafol/lock_holder.h"

#include <fcntl.h>

#include <cstdio>

#include "lock/owner_note.h"
#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/regular_file.h"
#include "platform/store_fs.h"
#include "vexafol/drawing_lock_files.h"
#include "vexafol/filetime.h"

namespace vexa {
namespace {

// The pages a page scan sees.
constexpr int kScannedPages = 500;

// Whether another open file description locks a byte of fd in [first,
// first+length): 1 (with the first such byte in *at), 0, or -1 when the
// system cannot tell.
int ForeignLock(int fd, uint64_t first, uint64_t length, uint64_t* at) {
  struct flock query {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  query.l_start = static_cast<off_t>(first);
  query.l_len = static_cast<off_t>(length);
  if (platform::CurrentEnv().Lock(fd, F_OFD_GETLK, query) != 0) return -1;
  if (query.l_type == F_UNLCK) return 0;
  if (at) *at = query.l_start > static_cast<off_t>(first) ? query.l_start : first;
  return 1;
}

// ForeignLock on the lock file at path; a missing file holds nothing, a file
// that cannot be opened is taken as held (as the lock tests take it).
int LockedIn(const std::string& path, uint64_t first, uint64_t length, uint64_t* at) {
  platform::Env& env = platform::CurrentEnv();
  const int fd =
      platform::OpenRegularFile(path, O_RDONLY | O_NONBLOCK, 0, platform::LinkPolicy::Refuse);
  if (fd == -ENOENT) return 0;
  if (fd < 0) return 1;
  const int locked = ForeignLock(fd, first, length, at);
  env.Close(fd);
  return locked != 0 ? 1 : 0;
}

// Fills the named fields of holder from the note `name` beside the lock file
// lockFile when its writer still holds it.
void ReadNote(const std::string& lockFile, const std::string& name, LockHolder& holder) {
  const std::string lockFolder = platform::FolderOf(lockFile);
  platform::StoreDir notes;
  if (platform::StoreDir::OpenBelow(lockFolder, lockFolder + "/" + lock::kNoteFolder, notes) != 0)
    return;
  platform::Env& env = platform::CurrentEnv();
  const int fd = notes.OpenFile(name);  // a regular file only, no link followed
  if (fd < 0) return;
  char text[lock::kMaxNoteSize + 1];
  const ssize_t got = ForeignLock(fd, lock::kNoteLiveByte, 1, nullptr) == 1
                          ? env.PRead(fd, text, sizeof text, 0)
                          : -1;
  env.Close(fd);
  LockHolder note;
  if (got > 0 && lock::ParseNote(std::string_view(text, static_cast<size_t>(got)), note)) {
    note.held = true;
    note.page = holder.page;
    holder = note;
  }
}

}  // namespace

LockHolder GetDrawingLockHolder(const CEnvironObj& env, const std::string& drawingPath) {
  const DrawingLockFiles files = GetDrawingLockFiles(env, drawingPath);
  LockHolder holder;
  if (!files.lockable) return holder;
  holder.held =
      LockedIn(files.drawingLockFile, static_cast<uint64_t>(files.folderNo), 1, nullptr) == 1;
  if (holder.held) ReadNote(files.drawingLockFile, lock::DrawingNoteName(files.folderNo), holder);
  return holder;
}

LockHolder GetPageLockHolder(const CEnvironObj& env, const std::string& drawingPath, int page) {
  const DrawingLockFiles files = GetDrawingLockFiles(env, drawingPath);
  LockHolder holder;
  holder.page = page;
  if (!files.lockable || page < 0) return holder;
  holder.held = LockedIn(files.pageLockFile, static_cast<uint64_t>(page), 1, nullptr) == 1;
  if (holder.held) ReadNote(files.pageLockFile, lock::PageNoteName(files.folderNo, page), holder);
  return holder;
}

LockHolder GetInUseHolder(const CEnvironObj& env, const std::string& drawingPath) {
  LockHolder holder = GetDrawingLockHolder(env, drawingPath);
  if (holder.held) return holder;
  const DrawingLockFiles files = GetDrawingLockFiles(env, drawingPath);
  uint64_t page = 0;
  if (!files.lockable || LockedIn(files.pageLockFile, 0, kScannedPages, &page) != 1) return holder;
  return GetPageLockHolder(env, drawingPath, static_cast<int>(page));
}

std::string LockHolderText(const LockHolder& holder, int64_t now) {
  if (!holder.held) return "";
  if (!holder.named) return "名前のわからないクライアント";
  std::string text = holder.fullName.empty() ? holder.login : holder.fullName;
  if (!holder.computer.empty()) text += " (" + holder.computer + ")";
  FILETIME local{}, today{};
  SYSTEMTIME at{}, day{};
  if (holder.since > 0 && FileTimeToLocalFileTime(UnixToFileTime(holder.since), local) &&
      FileTimeToSystemTime(local, at) && FileTimeToLocalFileTime(UnixToFileTime(now), today) &&
      FileTimeToSystemTime(today, day)) {
    char when[32];
    if (at.wYear == day.wYear && at.wMonth == day.wMonth && at.wDay == day.wDay)
      std::snprintf(when, sizeof when, " %d:%02d から", at.wHour, at.wMinute);
    else
      std::snprintf(when, sizeof when, " %d/%d %d:%02d から", at.wMonth, at.wDay, at.wHour,
                    at.wMinute);
    text += when;
  }
  return text;
}

}  // namespace vexa
