// vexafol apps: the application table as a host of a given kind sees it.
#include <cstdio>

#include "tools/columns.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/senyou.h"

namespace vexa::tool {

int RunApps(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const FolderEnvironObj env(root, options);
  std::printf("Host kind %lu\n", env.GetAppType());
  std::printf("%-3s %-7s %-14s %-16s %-8s %-9s %-6s %s\n", "row", "id", "title", "long title",
              "colour", "module", "create", "folder");
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06lX", GetSenyouColor(id));
    const std::string title = Printable(GetSenyouTitle(env, id, 0));
    const std::string longTitle = "[" + Printable(GetSenyouTitle(env, id, 1)) + "]";
    const std::string module = GetSenyouDLL(id);
    std::printf("%-3d %-7s %s %s %-8s %-9s %-6s %s\n", row, HexId(id).c_str(),
                PadToColumns(title, 14).c_str(), PadToColumns(longTitle, 16).c_str(), colour,
                module.empty() ? "-" : module.c_str(), GetSenyouAllowCreate(env, id) ? "yes" : "no",
                Printable(GetSenyouPath(env, id)).c_str());
  }
  return 0;
}

}  // namespace vexa::tool
