// Conversion between UTF-8 and the fixed-size CP932 text fields of the store's
// records.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::store {

// The text of a field up to its first NUL (or its whole size), as UTF-8.
std::string FieldToUtf8(const char* field, size_t capacity);

// Writes utf8 as CP932 into field, cut at a character boundary so that the text
// and its NUL fit; the rest of the field is zeroed. False, with the field
// unchanged, when some character has no CP932 form.
bool Utf8ToField(const std::string& utf8, char* field, size_t capacity);

// Length of the longest prefix of cp932 that is at most limit bytes and does not
// end inside a double-byte character.
size_t Cp932PrefixLength(const std::string& cp932, size_t limit);

}  // namespace vexa::store
