#include "platform/regular_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/env.h"

namespace vexa::platform {

int OpenRegularFile(const std::string& path, int flags, mode_t mode, LinkPolicy links) {
  Env& env = CurrentEnv();
  const bool keepNonBlocking = (flags & O_NONBLOCK) != 0;
  int openFlags = flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  if (links == LinkPolicy::Refuse) openFlags |= O_NOFOLLOW;
  const int fd = env.Open(path, openFlags, mode);
  return fd < 0 ? fd : KeepRegularFile(fd, keepNonBlocking);
}

int KeepRegularFile(int fd, bool keepNonBlocking) {
  Env& env = CurrentEnv();
  struct stat st;
  int rc = env.Fstat(fd, st);
  if (rc == 0 && !S_ISREG(st.st_mode)) rc = S_ISDIR(st.st_mode) ? -EISDIR : -ENXIO;
  if (rc == 0 && !keepNonBlocking) rc = env.ClearNonBlocking(fd);
  if (rc < 0) {
    env.Close(fd);
    return rc;
  }
  return fd;
}

}  // namespace vexa::platform
