// Text comparison for sorting and for file names.
//
// Sorting uses one ICU collator for the user's locale, taken from LC_ALL, then
// LC_COLLATE, then LANG ("ja_JP.UTF-8" -> ja_JP; unset, "C" and "POSIX" -> the
// root collation). It is created on first use and kept for the life of the
// process, so every comparison of a run orders text the same way.
#pragma once

#include <string>
#include <string_view>

namespace vexa::platform {

// The collation sort key of a UTF-8 text: comparing two keys bytewise (as
// std::string's operator< does) gives the same order as CollateCompare of the
// texts, so a sort can compute each key once. Invalid UTF-8 sequences are read
// as U+FFFD. When no collator can be created, the key is the text itself (byte order).
std::string CollationKey(std::string_view utf8);

// -1, 0 or 1 as a sorts before, together with or after b under the collator.
int CollateCompare(std::string_view a, std::string_view b);

// -1, 0 or 1 comparing bytewise with ASCII letters folded to lower case; every
// other byte (including non-ASCII UTF-8) compares by its value. Used for file
// and folder names, which the store treats as equal regardless of ASCII case.
int CollateNoCase(std::string_view a, std::string_view b);

}  // namespace vexa::platform
