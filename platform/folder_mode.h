// Permissions that follow the store: what the library creates takes its
// permission classes from the folder it is made in, whatever the process umask
// (as a shared git repository does). A file gets the folder's read and write
// bits of every class, a folder its read, write and search bits and its
// set-group-id bit; in a store folder of mode 2770 a new lock file is 0660 and
// a new folder 2770, so every member of the group can use what any other made.
// Only what a call creates is changed; existing entries and moved ones keep
// their modes. In a public folder with the sticky bit (/tmp) the umask decides.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace vexa::platform {

// The mode of a new file / folder made in a folder of mode folderMode.
mode_t FileModeIn(mode_t folderMode);
mode_t FolderModeIn(mode_t folderMode);

// The process's umask as the system reports it now (one read of
// /proc/self/status, which leaves it unchanged); 0777 when it cannot be read,
// so that a caller that skips fixing modes under a mild umask fixes them.
mode_t CurrentUmask();

// The folder that holds path ("." for a bare name).
std::string FolderOf(const std::string& path);

// Opens the regular file path with flags (OpenRegularFile, links refused).
// With O_CREAT in flags, an existing file is opened as it is; a missing one is
// created exclusively and given FileModeIn of its folder, so that it appears
// under its name with that mode. Returns the descriptor or -errno.
int OpenCreatingInFolderMode(const std::string& path, int flags);

// A file being created shows a second, draft name beside path for a moment
// (".vexafol-new.…"), and keeps it when its creator died there. Removes every
// draft name in path's folder that names the file `file` describes; true when
// there was one.
bool RemoveDraftNamesOf(const std::string& path, const struct stat& file);

// A name for something being made under the name `name` in the same folder,
// used by no other process or call: ".vexafol-new.PID.N.NAME" (NAME where it
// fits in a folder entry), so that what is made can be told by its name.
std::string DraftNameFor(const std::string& name);

// Makes the folder path with FolderModeIn of its parent (StoreDir::MakeDir in
// the folder that holds it). 0 or -errno (-EEXIST when something is there
// already; it is left alone).
int MakeFolderInFolderMode(const std::string& path);

// Gives the open file fd the mode that a new file at target would get (fd is
// a temporary file that is renamed to target). False when that mode cannot be
// set or the folder cannot be read.
bool GiveNewFileMode(int fd, const std::string& target);

}  // namespace vexa::platform
