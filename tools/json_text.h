// Text as a JSON string literal, for the tool's --json output.
#pragma once

#include <string>

namespace vexa::tool {

// text in double quotes with quotes, backslashes and control bytes escaped.
std::string JsonString(const std::string& text);

}  // namespace vexa::tool
