// vexa::File: the store's file class. Descriptors are close-on-exec; byte-range
// locks are per handle, exclusive, never waiting (see LockRange).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <set>

#include "vexafol/types.h"

namespace vexa {

// Thrown by Read and Write (and by Open's throwing form) on an I/O error or a
// lock violation. error() is the errno value.
class FileException : public std::runtime_error {
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
  FILETIME modified{};
  bool readOnly = false;
  std::string path;
};

class File {
 public:
  enum class Mode {
    ReadOnly,        // existing file, read only
    ReadWrite,       // read/write, created if missing, never truncated
    CreateTruncate,  // read/write, created if missing, truncated
  };
  enum SeekFrom { begin, current, end };

  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Returns true on success; on failure the handle stays closed and LastError()
  // holds the errno value.
  bool Open(const std::string& path, Mode mode);
  bool IsOpen() const { return fd_ >= 0; }
  int LastError() const { return lastError_; }

  // Reads up to count bytes; returns the count read (less at end of file).
  // Throws FileException on an I/O error or when another handle holds a lock on
  // a byte of the range.
  size_t Read(void* buffer, size_t count);
  // Writes all bytes or throws FileException.
  void Write(const void* buffer, size_t count);
  // Returns the new position; throws FileException when the position is invalid.
  uint64_t Seek(int64_t offset, SeekFrom from = begin);
  // Return false (and set LastError) on failure.
  bool GetLength(uint64_t& length) const;
  uint64_t GetLength() const;  // 0 on failure
  bool SetLength(uint64_t length);
  bool GetStatus(FileStatus& status) const;
  std::string GetFilePath() const { return path_; }
  // Closes the handle; every lock taken through it is released.
  void Close();

  // Exclusive lock of [offset, offset+length). Refused (false) at once when any
  // handle, this one included, holds a byte of it. Offsets must be below 2^31.
  bool LockRange(uint64_t offset, uint64_t length);
  // Releases a range this handle locked; false when this handle does not hold it.
  bool UnlockRange(uint64_t offset, uint64_t length);
  // Closes the handle and deletes the file unless another handle still has it
  // open (the last user deletes it).
  void CloseAndRemove();

  int fd() const { return fd_; }

 private:
  bool OpenOnce(const std::string& path, Mode mode, bool& retry);
  bool ForeignLockOn(uint64_t offset, uint64_t length) const;

  int fd_ = -1;
  int lastError_ = 0;
  std::string path_;
  uint64_t dev_ = 0;
  uint64_t ino_ = 0;
  std::set<uint64_t> heldBytes_;
};

}  // namespace vexa
