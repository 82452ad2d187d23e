#include "vexafol/store_name.h"

#include "platform/case_lookup.h"
#include "vexafol/store_layout.h"

namespace vexa {

std::string ResolveStoreName(const std::string& path) {
  return platform::ResolveStoreName(path, IsLockFileName);
}

}  // namespace vexa
