#include "tools/store_env.h"

#include <cstdio>

namespace vexa::tool {

bool MakeStoreEnv(Args& args, std::string& root, FolderEnvironOptions& options) {
  root = args.Value("store").value_or(".");
  const std::optional<long> kind = args.Number("host-kind");
  if (!args.ok()) return false;
  options.appType = static_cast<unsigned long>(kind.value_or(0));
  return true;
}

std::string HexId(long id) {
  if (id < 0) return std::to_string(id);
  char text[32];
  std::snprintf(text, sizeof text, "0x%lX", id);
  return text;
}

}  // namespace vexa::tool
