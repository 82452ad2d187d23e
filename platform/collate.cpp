#include "platform/collate.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vexa::platform {
namespace {

// "ja_JP.UTF-8@euro" -> "ja_JP"; "" for unset, "C" and "POSIX".
std::string UserCollateLocaleName() {
  std::string_view value;
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') {
      value = v;
      break;
    }
  }
  value = value.substr(0, std::min(value.size(), value.find_first_of(".@")));
  if (value == "C" || value == "POSIX") return "";
  return std::string(value);
}

std::unique_ptr<icu::Collator> CreateUserCollator() {
  const std::string name = UserCollateLocaleName();
  const icu::Locale locale = name.empty() ? icu::Locale::getRoot() : icu::Locale(name.c_str());
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
  if (U_FAILURE(status)) return nullptr;
  return collator;
}

// The process-wide collator; null when ICU could not provide one.
const icu::Collator* UserCollator() {
  static const std::unique_ptr<icu::Collator> collator = CreateUserCollator();
  return collator.get();
}

icu::UnicodeString FromUtf8(std::string_view utf8) {
  return icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string CollationKey(std::string_view utf8) {
  const icu::Collator* collator = UserCollator();
  if (collator == nullptr) return std::string(utf8);
  const icu::UnicodeString text = FromUtf8(utf8);
  std::vector<uint8_t> key(64);
  int32_t length = collator->getSortKey(text, key.data(), static_cast<int32_t>(key.size()));
  if (length > static_cast<int32_t>(key.size())) {
    key.resize(length);
    length = collator->getSortKey(text, key.data(), length);
  }
  // The key ends with a NUL byte that carries no order; drop it.
  if (length > 0 && key[length - 1] == 0) --length;
  return std::string(reinterpret_cast<const char*>(key.data()), length);
}

int CollateCompare(std::string_view a, std::string_view b) {
  const icu::Collator* collator = UserCollator();
  if (collator == nullptr) return Sign(a.compare(b));
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result = collator->compare(FromUtf8(a), FromUtf8(b), status);
  if (U_FAILURE(status)) return Sign(a.compare(b));
  return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

int CollateNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
    const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace vexa::platform
