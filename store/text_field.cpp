#include "store/text_field.h"

#include <cstring>

#include "vexafol/text.h"

namespace vexa::store {

namespace {

bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

std::string FieldToUtf8(const char* field, size_t capacity) {
  return Cp932ToUtf8(std::string_view(field, FieldLength(field, capacity)));
}

size_t Cp932PrefixLength(const std::string& cp932, size_t limit) {
  size_t end = 0;
  while (end < cp932.size()) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(cp932[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return end < cp932.size() ? end : cp932.size();
}

bool Utf8ToField(const std::string& utf8, char* field, size_t capacity) {
  std::string cp932;
  if (capacity == 0 || !Utf8ToCp932(utf8, cp932)) return false;
  const size_t length = Cp932PrefixLength(cp932, capacity - 1);
  std::memset(field, 0, capacity);
  std::memcpy(field, cp932.data(), length);
  return true;
}

}  // namespace vexa::store
