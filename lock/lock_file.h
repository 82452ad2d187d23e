// The byte protocol shared by the lock records: opening a lock file at its
// fixed length, keeping an open handle, and one-byte lock requests. Every file
// error is folded into the boolean results; nothing throws.
#pragma once

#include <cstdint>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/file.h"
#include "vexafol/store_layout.h"

namespace vexa::lock {

// The file whose presence in the folder of a lock file, or in any folder above
// it, keeps the lock files of that store on disk when their last user closes
// them (stores that clients without the in-use mark open natively).
inline constexpr const char* kKeepLockFilesMarker = "KEEPLOCKS";

// True when file is open and its status can still be read. A file deleted
// behind the handle's back (by a client that knows nothing of the in-use mark)
// is opened again at its path with its length set, and the bytes the old
// handle held are taken again on it. Otherwise closes the file (a handle that
// went bad, e.g. after a lost network connection, loses its locks) and answers
// false.
bool KeepOpen(File& file, uint64_t length);
// True when file is open on a file whose name was deleted under the handle.
bool WasDeleted(const File& file);

// Opens path for reading and writing (created if missing, never truncated) and
// sets its length. On any failure the file is closed and removed unless another
// handle still has it open, and the answer is false.
bool OpenLockFile(File& file, const std::string& path, uint64_t length);

// Closes a lock file, releasing its locks, and deletes it when this handle is
// its last user and nobody locks a byte of it (File::CloseAndRemove), unless
// the store keeps its lock files (LockFilesStay). Nothing happens while closed.
void CloseAndRemoveLockFile(File& file);

// True when kKeepLockFilesMarker lies in the folder of lockFilePath or in a
// folder above it. Asked once per folder and process: a marker made later
// counts for programs started after it.
bool LockFilesStay(const std::string& lockFilePath);

// Exclusive lock of byte n, never waiting: false when refused or on any error.
bool LockByte(File& file, int n);
// Releases byte n: false when this handle does not hold it or on any error.
bool UnlockByte(File& file, int n);
// True (locked) when byte n cannot be locked now; a byte that could be locked
// is released again at once. A byte held through file itself answers true.
bool ProbeByte(File& file, int n);

// Sets the bits of bytes 1 to 999 of an open drawing lock file that another
// open file description or process holds, asked by range: one query per
// locked run reported, plus one per gap left below a run (the system reports
// the first conflicting lock in its own list order, not the lowest). This
// handle's own locks are not seen. False when the system cannot answer a range
// query; locked is then incomplete.
bool ForeignLockedBytes(File& file, DrawingNumberBits& locked);

// "FOL%03d.LOC": the name of the page lock file of a folder number.
std::string PageLockName(int folderNo);

// Lock file paths for a drawing folder path P: the directory of P with
// "CADAPP.LOC", or with "FOL%03d.LOC" formatted from the folder number.
std::string DrawingLockPath(const CEnvironObj& env, const std::string& drawingPath);
std::string PageLockPath(const CEnvironObj& env, const std::string& drawingPath, int folderNo);

// The directory of a drawing path and its page lock file path, as
// GetDirNameFromRelativePath and PageLockPath give them, remembered for the
// last environment, drawing path and folder number asked. Building them through
// the environment on every call would cost more than the lock request itself;
// for the same arguments the environment's path functions give the same text.
class LockPaths {
 public:
  const std::string& Dir(const CEnvironObj& env, const std::string& drawingPath);
  const std::string& PagePath(const CEnvironObj& env, const std::string& drawingPath, int folderNo);

 private:
  const CEnvironObj* env_ = nullptr;
  std::string drawingPath_;
  std::string dir_;
  bool pageKnown_ = false;
  int folderNo_ = 0;
  std::string pagePath_;
};

}  // namespace vexa::lock
