// CP932 <-> UTF-8 through ICU's windows-932 converter (ibm-943_P15A-2003).
//
// That ICU table trades the bytes 0x1A, 0x1C and 0x7F among U+001A, U+001C and
// U+007F (an IBM host convention); Windows maps every byte below 0x80 to itself.
// So ASCII is handled here, and ICU only sees the rest.
#include "vexafol/text.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexa {
namespace {

constexpr UChar kReplacement = 0xFFFD;

bool IsAscii(UChar unit) {
  return unit < 0x80;
}

// Every invalid byte sequence that ICU reports becomes one U+FFFD.
void WriteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                               UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, error);
}

// A character with no CP932 form becomes '?' and is remembered in *context.
void WriteQuestionMark(const void* context, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                       UChar32, UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  *static_cast<bool*>(const_cast<void*>(context)) = true;
  ucnv_cbFromUWriteBytes(args, "?", 1, 0, error);
}

// One converter per thread, with fallbacks on (they only affect encoding: the
// decoding table is the same with and without them).
class Cp932Converter {
 public:
  Cp932Converter() {
    UErrorCode error = U_ZERO_ERROR;
    converter_ = ucnv_open("windows-932", &error);
    if (U_FAILURE(error)) {
      converter_ = nullptr;
      return;
    }
    ucnv_setFallback(converter_, true);
    ucnv_setToUCallBack(converter_, WriteReplacementCharacter, nullptr, nullptr, nullptr, &error);
    ucnv_setFromUCallBack(converter_, WriteQuestionMark, &unmapped_, nullptr, nullptr, &error);
  }
  ~Cp932Converter() {
    if (converter_) ucnv_close(converter_);
  }
  Cp932Converter(const Cp932Converter&) = delete;
  Cp932Converter& operator=(const Cp932Converter&) = delete;

  UConverter* get() const { return converter_; }
  bool& unmapped() { return unmapped_; }

 private:
  UConverter* converter_ = nullptr;
  bool unmapped_ = false;
};

Cp932Converter& Converter() {
  thread_local Cp932Converter converter;
  return converter;
}

std::string ToUtf8(const std::u16string& units) {
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(nullptr, 0, &length, units.data(), static_cast<int32_t>(units.size()),
                     kReplacement, nullptr, &error);
  std::string utf8(static_cast<size_t>(length), '\0');
  error = U_ZERO_ERROR;
  u_strToUTF8WithSub(utf8.data(), length, &length, units.data(), static_cast<int32_t>(units.size()),
                     kReplacement, nullptr, &error);
  return utf8;
}

// Characters that Windows writes as their full-width CP932 look-alikes but for
// which ICU's table has no fallback.
UChar WindowsBestFit(UChar unit) {
  switch (unit) {
    case 0x00A2:
      return 0xFFE0;  // ¢ -> ￠ (81 91)
    case 0x00A3:
      return 0xFFE1;  // £ -> ￡ (81 92)
    case 0x00AC:
      return 0xFFE2;  // ¬ -> ￢ (81 CA)
    default:
      return unit;
  }
}

// Appends the CP932 form of a run of non-ASCII units; false if ICU is unusable.
bool EncodeRun(Cp932Converter& converter, const UChar* units, size_t count, std::string& out) {
  if (!converter.get()) return false;
  ucnv_resetFromUnicode(converter.get());
  const size_t start = out.size();
  out.resize(start + count * 2 + 2);  // at most two bytes per UTF-16 unit
  char* target = out.data() + start;
  const UChar* source = units;
  UErrorCode error = U_ZERO_ERROR;
  ucnv_fromUnicode(converter.get(), &target, out.data() + out.size(), &source, units + count,
                   nullptr, true, &error);
  out.resize(static_cast<size_t>(target - out.data()));
  return U_SUCCESS(error);
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  const bool allAscii = std::all_of(cp932.begin(), cp932.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (allAscii) return std::string(cp932);

  std::u16string units(cp932.size(), u'\0');  // never more units than bytes
  std::vector<int32_t> offsets(cp932.size());
  size_t produced = 0;
  UConverter* converter = Converter().get();
  if (converter) {
    ucnv_resetToUnicode(converter);
    UChar* target = units.data();
    const char* source = cp932.data();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, units.data() + units.size(), &source,
                   cp932.data() + cp932.size(), offsets.data(), true, &error);
    produced = U_SUCCESS(error) ? static_cast<size_t>(target - units.data()) : 0;
  }
  if (produced == 0) {  // no converter: keep ASCII, replace the rest
    for (size_t i = 0; i < cp932.size(); ++i) {
      units[i] = IsAscii(static_cast<unsigned char>(cp932[i])) ? cp932[i] : kReplacement;
    }
    return ToUtf8(units);
  }
  units.resize(produced);
  for (size_t i = 0; i < produced; ++i) {
    if (!IsAscii(units[i]) || offsets[i] < 0) continue;
    const auto byte = static_cast<unsigned char>(cp932[static_cast<size_t>(offsets[i])]);
    if (IsAscii(byte)) units[i] = byte;
  }
  return ToUtf8(units);
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
  out.clear();
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  int32_t invalid = 0;
  u_strFromUTF8WithSub(nullptr, 0, &length, utf8.data(), static_cast<int32_t>(utf8.size()),
                       kReplacement, nullptr, &error);
  std::u16string units(static_cast<size_t>(length), u'\0');
  error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(units.data(), length, &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), kReplacement, &invalid, &error);
  if (U_FAILURE(error)) return false;

  Cp932Converter& converter = Converter();
  converter.unmapped() = false;
  bool converted = true;
  out.reserve(units.size() * 2);
  size_t i = 0;
  while (i < units.size()) {
    if (IsAscii(units[i])) {
      out.push_back(static_cast<char>(units[i++]));
      continue;
    }
    const size_t runStart = i;
    while (i < units.size() && !IsAscii(units[i])) {
      units[i] = WindowsBestFit(units[i]);
      ++i;
    }
    if (!EncodeRun(converter, units.data() + runStart, i - runStart, out)) {
      out.append(i - runStart, '?');
      converted = false;
    }
  }
  return converted && invalid == 0 && !converter.unmapped();
}

size_t FieldLength(const char* field, size_t capacity) {
  const void* nul = std::memchr(field, '\0', capacity);
  return nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : capacity;
}

}  // namespace vexa
