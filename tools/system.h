// What the tool asks the operating system itself: the user's name, folder
// listings and small system files (the /proc of "who"). The library reaches
// the system through its own internal layer; the tool is a program on top of
// the library and calls POSIX as any host program does.
#pragma once

#include <string>
#include <vector>

namespace vexa::tool {

// The login name of the effective user; "" when unknown.
std::string LoginName();

// The names in folder without "." and ".."; -errno when it cannot be listed.
int ListFolder(const std::string& folder, std::vector<std::string>& names);

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; "" when neither tells.
std::string UserDataFolder();

// The whole content of a small file (a /proc or /etc file); "" when it cannot
// be read. Stops after 16 MiB.
std::string ReadSmallFile(const std::string& path);

}  // namespace vexa::tool
