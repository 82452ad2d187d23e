// Opening the files of a store, which any member of the group can replace with
// a symbolic link, a FIFO, a folder or a device: only a regular file is ever
// opened, and no open blocks.
#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <string>

namespace vexa::platform {

// Whether a symbolic link in the last component of the path may be followed.
enum class LinkPolicy { Refuse, Follow };

// Opens path through CurrentEnv() with flags (O_CLOEXEC and O_NOCTTY added)
// and returns the descriptor of a regular file, or -errno:
//   -ELOOP   the last component is a symbolic link (LinkPolicy::Refuse);
//   -EISDIR  it is a folder;
//   -ENXIO   it is anything else that is not a regular file (FIFO, socket,
//            device), refused before a read or write could block on it.
// The open itself never blocks (O_NONBLOCK); the flag is cleared again on the
// descriptor returned unless the caller asked for O_NONBLOCK. Files are
// created with mode (before the umask).
int OpenRegularFile(const std::string& path, int flags, mode_t mode, LinkPolicy links);

// The same check for a descriptor opened with O_NONBLOCK: fd when it is a
// regular file (O_NONBLOCK cleared unless keepNonBlocking), else it is closed
// and -EISDIR or -ENXIO returned.
int KeepRegularFile(int fd, bool keepNonBlocking);

}  // namespace vexa::platform
