// Conversion between the store's code page (CP932, Windows Shift-JIS) and UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "vexafol/export.h"

namespace vexa {

// Never fails: every byte or byte pair that is not valid CP932 becomes U+FFFD.
VEXA_CORE_API std::string Cp932ToUtf8(std::string_view cp932);

// Converts with Windows best-fit fallbacks (〜 -> 0x8160, − -> 0x817C, ¥ -> 0x5C).
// Returns false when some character has no CP932 form at all (or the input is not
// valid UTF-8); out then holds the conversion with '?' in those places.
VEXA_CORE_API bool Utf8ToCp932(std::string_view utf8, std::string& out);

// Length of the text up to the first NUL within a fixed-size field.
VEXA_CORE_API size_t FieldLength(const char* field, size_t capacity);

}  // namespace vexa
