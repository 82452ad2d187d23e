// The search conditions of the selection dialog as options of the tool:
// --no FROM-TO, --name TEXT, --creator NAME, --updater NAME, --created
// FROM..TO, --updated FROM..TO, --memo LINE (repeatable).
#pragma once

#include <string>
#include <vector>

#include "tools/command.h"
#include "vexafol/findcriteria.h"

namespace vexa::tool {

// The option names, for a command's value options.
inline const std::vector<std::string> kSearchOptions = {"no",      "name",    "creator", "updater",
                                                        "created", "updated", "memo"};

// Fills criteria from the search options given; false with error set when a
// value is malformed.
bool ReadSearchOptions(const Args& args, FindCriteria& criteria, std::string& error);

// Whether any search option was given.
bool HasSearchOptions(const Args& args);

}  // namespace vexa::tool
