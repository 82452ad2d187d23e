#include "lock/page_probe.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "lock/lock_file.h"
#include "platform/env.h"

namespace vexa::lock {

PageProbe ProbePageLockFile(const std::string& path) {
  platform::Env& os = platform::CurrentEnv();
  // Opened for writing, as the lock records open it, so that a file they could
  // not open is not answered here; never created, never through a link.
  const int fd = os.Open(path, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0);
  if (fd == -ENOENT) return PageProbe::Free;
  if (fd < 0) return PageProbe::AskService;
  PageProbe answer = PageProbe::AskService;
  struct stat st;
  if (os.Fstat(fd, st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) {
    // The page scan's read asks for a read lock over the pages it reads: only
    // another handle's exclusive lock refuses it.
    struct flock query {};
    query.l_type = F_RDLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = kScannedPages;
    if (os.Lock(fd, F_OFD_GETLK, query) == 0)
      answer = query.l_type == F_UNLCK ? PageProbe::Free : PageProbe::Locked;
  }
  os.Close(fd);
  return answer;
}

}  // namespace vexa::lock
