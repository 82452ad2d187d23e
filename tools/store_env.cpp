#include "tools/store_env.h"

#include <cstdio>
#include <cstdlib>

#include "tools/store_find.h"
#include "tools/support/local_system.h"

namespace vexa::tool {

std::string ChosenStore(const Args& args) {
  if (std::optional<std::string> store = args.Value("store")) return *store;
  const char* variable = std::getenv(kStoreVariable);
  if (variable && *variable) return variable;
  const std::string here = WorkingFolder();
  return here.empty() ? "" : EnclosingStore(here);
}

bool MakeStoreEnv(Args& args, std::string& root, FolderEnvironOptions& options) {
  const std::string chosen = ChosenStore(args);
  root = chosen.empty() ? std::string(".") : chosen;
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
