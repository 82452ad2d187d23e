// Walking UTF-8 text and its width in a fixed-pitch Japanese face, where a
// half-width character takes one column and every other character two. The
// grid, the tool's tables and the print layout measure text with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "vexafol/export.h"

namespace vexa {

// One character of UTF-8 text: its code point and its length in bytes. A
// byte that starts no complete sequence is one character of its own (code =
// the byte), so that any text is walked to its end.
struct Utf8Char {
  char32_t code = 0;
  size_t length = 1;
};

// The character that starts at text[at]; at < text.size().
VEXA_CORE_API Utf8Char NextUtf8Char(std::string_view text, size_t at);

// True for the half-width characters: ASCII, the half-width katakana
// (U+FF61-FF9F) and the half-width forms (U+FFE8-FFEE).
VEXA_CORE_API bool IsHalfWidth(char32_t code);

// Columns of the text: 1 per half-width character, 2 per other character.
VEXA_CORE_API size_t DisplayWidth(std::string_view utf8);

// The text cut to at most limit bytes without splitting a character.
VEXA_CORE_API std::string CutUtf8(const std::string& utf8, size_t limit);

}  // namespace vexa
