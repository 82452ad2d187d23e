// Windows private-profile (INI) files: GetPrivateProfileStringA and
// WritePrivateProfileStringA as the write-path settings use them.
//
// Section and key names compare without regard to ASCII case; names and values
// are trimmed of spaces and tabs, and a value in matching quotes loses them.
// Strings are UTF-8 in memory; the file is CP932 text with CRLF line ends (LF
// alone is read too). All file access goes through CurrentEnv().
#pragma once

#include <string>

namespace vexa::platform {

// The value of key in section, or def when the file, the section or the key is
// missing or the file cannot be read. A key present with an empty value gives "".
std::string GetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& def = "");

// section == nullptr: flush; nothing is buffered, so returns true.
// key == nullptr: removes the section with all its lines, and every later
// section of the same name with it.
// value == nullptr: removes the key from the first section of the name.
// Keys are read and written in the first section of a name; later sections of
// the same name are kept as they are.
// Otherwise sets key = value, adding the key (after the section's last line) or
// the section (at the end of the file) as needed; the file is created if
// missing, its directory is not. Other sections, keys, comments and their order
// stay as they were. The new content goes to a temporary file in the same
// directory that is synced and renamed over the old one, so a failed write
// leaves the old file intact. Removing what is not there succeeds without
// touching the disk.
// Returns false when the file cannot be read or written, is read-only (no owner
// write permission), or a name or value has no CP932 form, contains a line
// break, or would not read back (a name with leading or trailing blanks, a key
// with '=' or starting with '[', a section with ']').
// Only regular files are read and written, and reading never blocks: a FIFO,
// folder or device under the file's name reads as unreadable.
bool WriteProfileString(const char* section, const char* key, const char* value,
                        const std::string& file);

}  // namespace vexa::platform
