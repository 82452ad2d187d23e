// Terminal columns of UTF-8 text, for the tool's tables (widths: DisplayWidth
// of vexafol/utf8.h).
#pragma once

#include <string>

#include "vexafol/utf8.h"

namespace vexa::tool {

// text followed by spaces up to the given number of columns.
std::string PadToColumns(const std::string& utf8, size_t columns);

}  // namespace vexa::tool
