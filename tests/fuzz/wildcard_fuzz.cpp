// libFuzzer harness of the wildcard matcher: the input up to its first NUL is
// the pattern, the rest the name. Any pattern, however long, matches without
// recursion; "*" and "*.*" admit every name.
#include <cstdlib>
#include <string_view>

#include "host/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string_view pattern = input.substr(0, split);
  const std::string_view name = split == input.npos ? "" : input.substr(split + 1);
  vexa::host::WildcardMatch(pattern, name);
  if (!vexa::host::WildcardMatch("*", name) || !vexa::host::WildcardMatch("*.*", name))
    std::abort();
  return 0;
}
