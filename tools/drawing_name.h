// Drawings named on the command line: by their folder path, or inside the
// store by application and number, "HNY/5" or "0x1:5" (Fol.005 of the
// general application). APP is an application code (the name of its folder,
// ASCII case ignored) or id; N is 1 to 999. "./HNY/5" is always a path.
#pragma once

#include <string>
#include <vector>

#include "tools/command.h"
#include "vexafol/folder_environ.h"

namespace vexa::tool {

// Whether word has the form of a drawing name, "X/N" or "X:N" with N digits
// and no other "/": such a word names no drawing folder as a path.
bool LooksLikeDrawingName(const std::string& word);

// The application code of an application id ("HNY"): the last name of its
// folder; "" when it has none.
std::string AppCode(const CEnvironObj& env, int id);

// The application that text names, by code (ASCII case ignored) or id (0x1,
// 1); 0 when none.
int ApplicationOf(const CEnvironObj& env, const std::string& text);

// The application ids that have a folder, in the table's order.
std::vector<int> AppIdsWithFolders(const CEnvironObj& env);

// The drawing folder that word names: a path as given (trailing "/" taken
// away), or the folder of a drawing name as the store spells it. False with
// error set when word looks like a drawing name whose application is unknown
// or whose number is not 1 to 999.
bool DrawingFolder(const CEnvironObj& env, const std::string& word, std::string& folder,
                   std::string& error);

// The store and the one drawing of a command that works on a drawing: the
// store is --store, else the store enclosing a drawing given by its path,
// else the store every command takes (ChosenStore); --host-kind as for
// MakeStoreEnv. Returns 0, or the exit status after printing why: a usage
// error for a bad option or name, a failure when the drawing folder does not
// exist.
int LoadDrawing(Args& args, const std::string& word, std::string& root,
                FolderEnvironOptions& options, std::string& folder);

}  // namespace vexa::tool
