#include "vexafol/store_name.h"

#include "platform/case_lookup.h"

namespace vexa {

std::string ResolveStoreName(const std::string& path) {
  return platform::ResolveStoreName(path);
}

}  // namespace vexa
