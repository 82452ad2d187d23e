// A client of the store that knows nothing of the library: it opens a lock
// file with plain open(2) and locks one byte with a classic fcntl(F_SETLK)
// lock, holding no in-use mark. That is what a Windows client's byte lock
// looks like on the server's file (a file server or Wine maps it to such a
// lock), and what a plain Linux program does. Header-only.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/child_process.h"

namespace vexa::test {

// Opens path (creating it, never truncating) in this process and, unless
// byte is negative, locks that byte; true when both worked. The descriptor
// stays open until the process ends.
inline bool OpenAndLockByte(const std::string& path, long byte) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (byte < 0) return true;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return fcntl(fd, F_SETLK, &lock) == 0;
}

// A forked foreign client holding byte of path (or, with a negative byte,
// only an open descriptor) until the object goes.
class ForeignClient {
 public:
  ForeignClient(const std::string& path, long byte)
      : child_([path, byte] { return OpenAndLockByte(path, byte); }) {}
  bool holding() const { return child_.holding(); }
  int Release() { return child_.Release(); }

 private:
  HoldingChild child_;
};

}  // namespace vexa::test
