// Terminal column widths of UTF-8 text, for the tool's tables.
#pragma once

#include <string>

namespace vexa::tool {

// Columns the text takes in a terminal: ASCII and half-width katakana one,
// other characters (kanji, kana, full-width forms) two.
size_t DisplayWidth(const std::string& utf8);

// text followed by spaces up to the given number of columns.
std::string PadToColumns(const std::string& utf8, size_t columns);

}  // namespace vexa::tool
