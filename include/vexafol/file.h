// vexa::File: the store's file class. Descriptors are close-on-exec; byte-range
// locks are per handle, exclusive, never waiting (see LockRange).
//
// Every open handle also holds a shared lock on one sentinel byte far beyond any
// data (kSentinelOffset). A file is deleted through CloseAndRemove only by the
// handle that can turn that shared lock into an exclusive one, that is by the
// last user of the file; opening checks that the file it got is still the one
// its path names, so a handle never ends up on a file that was just deleted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "vexafol/export.h"
#include "vexafol/types.h"

namespace vexa {

// Thrown by Read, Write and Seek on an I/O error or a lock violation. error()
// is the errno value (EACCES for a byte locked through another handle).
class VEXA_CORE_API FileException : public std::runtime_error {
 public:
  FileException(int error, const std::string& path, const std::string& what);
  int error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  int error_;
  std::string path_;
};

struct FileStatus {
  uint64_t size = 0;
  FILETIME modified{};    // last modification, UTC
  bool readOnly = false;  // the file has no write permission bit at all
  std::string path;
};

class VEXA_CORE_API File {
 public:
  enum class Mode {
    ReadOnly,        // existing file, read only
    ReadWrite,       // read/write, created if missing, never truncated
    CreateTruncate,  // read/write, created if missing, truncated
  };
  enum SeekFrom { begin, current, end };

  // Byte of the shared "this file is in use" lock; user locks may not cover it.
  static constexpr uint64_t kSentinelOffset = 0x40000000;
  // User lock ranges end at or below this offset.
  static constexpr uint64_t kLockLimit = uint64_t{1} << 31;

  File();
  ~File();  // closes the handle
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens path (closing a handle that is open). True on success; on failure the
  // handle stays closed and LastError() holds the errno value. A path that is
  // being deleted by its last user at this moment is retried a bounded number of
  // times, so that the handle always ends up on the file the path names.
  // Only regular files are opened, and never through a symbolic link in the
  // last component: a link gives ELOOP, a folder EISDIR, a FIFO, socket or
  // device ENXIO (the open never blocks on them). A file with more than one
  // name (a hard link) is opened for reading only: a writable open gives
  // EMLINK. CreateTruncate does not truncate a file another handle locks a
  // byte of.
  bool Open(const std::string& path, Mode mode);
  bool IsOpen() const { return handle_ != nullptr; }
  int LastError() const { return lastError_; }

  // Reads up to count bytes at the current position; returns the count read
  // (less at end of file). Throws FileException on an I/O error or when another
  // handle holds a lock on a byte of the range; this handle's own locks never
  // disturb the read.
  size_t Read(void* buffer, size_t count);
  // Writes all bytes or throws FileException (also when another handle holds a
  // lock on a byte of the range).
  void Write(const void* buffer, size_t count);
  // Returns the new position; throws FileException when the handle is closed or
  // the position is invalid.
  uint64_t Seek(int64_t offset, SeekFrom from = begin);
  // Read, Write and Seek without exceptions: false, with LastError() set, where
  // those throw (EACCES for a byte locked through another handle).
  bool TryRead(void* buffer, size_t count, size_t& got);
  bool TryWrite(const void* buffer, size_t count);
  bool TrySeek(int64_t offset, SeekFrom from, uint64_t& position);
  // Return false (and set LastError) on failure.
  bool GetLength(uint64_t& length) const;
  uint64_t GetLength() const;  // 0 on failure
  bool SetLength(uint64_t length);
  // Status of the open handle. False when the handle is closed, when the
  // system cannot answer for it, or after the handle went bad (an I/O error of
  // a lock or a read, as on a network file system that lost the file): the
  // owner should then close and reopen.
  bool GetStatus(FileStatus& status) const;
  // Path given to Open; "" while closed.
  std::string GetFilePath() const;
  // Closes the handle; every lock taken through it is released.
  void Close();
  // Opens the path of this handle anew, in the same mode, and takes again every
  // range the old handle held: for a file that was deleted behind the handle's
  // back (GetStatus fails with ENOENT), whose locks nobody opening the path can
  // see. True when the file is open again; lost counts the ranges that another
  // handle took on the new file meanwhile (LastError() is then EACCES). False,
  // with every range lost, when the path cannot be opened.
  bool Reopen(size_t& lost);

  // Exclusive lock of [offset, offset+length), never waiting. Refused (false)
  // at once when any handle, this one included, holds a byte of it, and for an
  // empty range, a range ending above kLockLimit or one covering the sentinel.
  bool LockRange(uint64_t offset, uint64_t length);
  // Releases a range exactly as this handle locked it; false when this handle
  // holds no such lock.
  bool UnlockRange(uint64_t offset, uint64_t length);
  // Closes the handle and deletes the file when no other handle has it open
  // and nobody else locks any byte of it (the last user deletes it; a client
  // that holds no in-use mark is seen by its locks). Never fails visibly; a
  // read-only handle or one on a file system without locks only closes.
  void CloseAndRemove();

  // The descriptor, -1 while closed (for fstat-style checks by the owner).
  int fd() const;

 private:
  struct Handle;

  bool OpenOnce(const std::string& path, Mode mode, bool& retry);
  // errno of a lock held through another handle on the range (EACCES) or of
  // the query, else 0.
  int CheckForeignLock(uint64_t offset, uint64_t length, short type);
  // Records an errno of an operation (EIO/ESTALE mark the handle bad); false.
  bool Fail(int error) const;

  std::unique_ptr<Handle> handle_;  // null while closed; keeps closed Files small
  mutable int lastError_ = 0;
};

}  // namespace vexa
