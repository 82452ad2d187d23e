// What the vexafol tool asks this computer: the user, folder listings, small
// system files (the /proc files of the lock holders), the terminal and the end
// of a hold (standard input or a signal). Not part of libvexafol: they make up
// vexafol_tool_support, the tool's private static library. Their system calls
// go through the system seam (platform/env.h) like the library's, so tests
// fault them alike.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa {

// The login name of the effective user; "" when unknown.
std::string LoginName();

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; "" when neither tells.
std::string UserDataFolder();

// Appends the names in folder other than "." and ".." to names; 0, or -errno
// when the folder cannot be listed.
int ListFolder(const std::string& folder, std::vector<std::string>& names);

// The whole content of a small file (a /proc or /etc file); "" when it cannot
// be read. Stops after 16 MiB; a FIFO does not block it.
std::string ReadSmallFile(const std::string& path);

// The device and inode of the file path names (links followed); false when
// there is none.
bool FileIdentity(const std::string& path, uint64_t& device, uint64_t& inode);

// The working folder as an absolute path without symbolic links; "" when it
// cannot be told (removed, or not reachable from the root).
std::string WorkingFolder();

// Whether path names a folder and is itself no symbolic link (a link to a
// folder answers false).
bool IsFolderNotLink(const std::string& path);

// "(30) <system text>" (the system error text of EROFS) when path lies on a
// file system mounted read-only, else "". There every lock file is unusable
// and every drawing reads as in use, so a refusal names this cause instead.
std::string ReadOnlyFileSystemText(const std::string& path);

// The id of this process.
long ThisProcessId();

// Whether standard output is a terminal (and may be coloured).
bool OutputIsTerminal();

// Holds back the interrupt, terminate and hang-up signals of the calling
// thread (and of the threads it starts after), so that one that arrives
// before WaitForEndOfInput is not lost but ends that wait.
void HoldEndSignals();

// Waits until standard input reaches its end (or cannot be read) or one of
// the held end signals arrives. What is read is ignored. onTick, when given,
// runs every tickMilliseconds of quiet while waiting.
void WaitForEndOfInput(const std::function<void()>& onTick = {}, int tickMilliseconds = 1000);

// Waits milliseconds, or less when one of the held end signals arrives:
// true then (the caller should stop), false when the time has passed.
bool WaitForEndSignal(int milliseconds);

}  // namespace vexa
