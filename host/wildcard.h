// Windows-style file name patterns for the host's folder listing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa::host {

// True when name matches pattern: "*" any run of characters (also none), "?"
// exactly one character (a whole UTF-8 sequence), everything else itself
// without regard to ASCII case. "*.*" matches every name, dotted or not, as
// on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The patterns of a filter text "description|pattern[|description|pattern...]";
// a text without "|" is a pattern list itself. Each pattern may list several
// patterns separated by ";". A pattern that starts with "." is an extension
// (".FMT" means "*.FMT"). Empty result: the filter admits every name.
std::vector<std::string> FilterPatterns(const std::string& filter);

// True when name matches one of patterns, or patterns is empty.
bool FilterAdmits(const std::vector<std::string>& patterns, std::string_view name);

}  // namespace vexa::host
