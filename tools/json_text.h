// Texts of the tool's JSON output.
#pragma once

#include <string>

#include "vexafol/types.h"

namespace vexa::tool {

// text as a JSON string literal (quotes, backslashes and control characters
// escaped; UTF-8 kept).
std::string JsonString(const std::string& text);

// A UTC time as "YYYY-MM-DDThh:mm:ssZ" ("" when it cannot be converted).
std::string IsoTime(const FILETIME& time);

}  // namespace vexa::tool
