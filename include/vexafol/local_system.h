// What a program on top of the library asks this computer: the user, folder
// listings, small system files (the /proc files of the lock holders), the
// terminal and the end of a hold (standard input or a signal). The
// library's own system layer answers, so these calls can be faulted in tests
// like the library's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vexafol/export.h"

namespace vexa {

// The login name of the effective user; "" when unknown.
VEXA_CORE_API std::string LoginName();

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; "" when neither tells.
VEXA_CORE_API std::string UserDataFolder();

// Appends the names in folder other than "." and ".." to names; 0, or -errno
// when the folder cannot be listed.
VEXA_CORE_API int ListFolder(const std::string& folder, std::vector<std::string>& names);

// The whole content of a small file (a /proc or /etc file); "" when it cannot
// be read. Stops after 16 MiB; a FIFO does not block it.
VEXA_CORE_API std::string ReadSmallFile(const std::string& path);

// The device and inode of the file path names (links followed); false when
// there is none.
VEXA_CORE_API bool FileIdentity(const std::string& path, uint64_t& device, uint64_t& inode);

// The working folder as an absolute path without symbolic links; "" when it
// cannot be told (removed, or not reachable from the root).
VEXA_CORE_API std::string WorkingFolder();

// Whether path names a folder and is itself no symbolic link (a link to a
// folder answers false).
VEXA_CORE_API bool IsFolderNotLink(const std::string& path);

// "(30) <system text>" (the system error text of EROFS) when path lies on a
// file system mounted read-only, else "". There every lock file is unusable
// and every drawing reads as in use, so a refusal names this cause instead.
VEXA_CORE_API std::string ReadOnlyFileSystemText(const std::string& path);

// The id of this process.
VEXA_CORE_API long ThisProcessId();

// Whether standard output is a terminal (and may be coloured).
VEXA_CORE_API bool OutputIsTerminal();

// Holds back the interrupt, terminate and hang-up signals of the calling
// thread (and of the threads it starts after), so that one that arrives
// before WaitForEndOfInput is not lost but ends that wait.
VEXA_CORE_API void HoldEndSignals();

// Waits until standard input reaches its end (or cannot be read) or one of
// the held end signals arrives. What is read is ignored. onTick, when given,
// runs every tickMilliseconds of quiet while waiting.
VEXA_CORE_API void WaitForEndOfInput(const std::function<void()>& onTick = {},
                                     int tickMilliseconds = 1000);

// Waits milliseconds, or less when one of the held end signals arrives:
// true then (the caller should stop), false when the time has passed.
VEXA_CORE_API bool WaitForEndSignal(int milliseconds);

}  // namespace vexa
