// vexafol apps: the application table as a host of a given kind sees it.
#include <cstdio>

#include "tools/columns.h"
#include "tools/drawing_name.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/senyou.h"

namespace vexa::tool {

namespace {

// The colour as the table keeps it, 0xBBGGRR in six hex digits.
std::string ColourText(int id) {
  char colour[16];
  std::snprintf(colour, sizeof colour, "%06lX", GetSenyouColor(id));
  return colour;
}

void PrintJson(const CEnvironObj& env) {
  std::printf("{\"hostKind\": %lu, \"apps\": [", env.GetAppType());
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    std::printf(
        "%s\n  {\"row\": %d, \"id\": %d, \"code\": %s, \"title\": %s, \"longTitle\": %s, "
        "\"colour\": \"%s\", \"module\": %s, \"create\": %s, \"folder\": %s}",
        row ? "," : "", row, id, JsonString(AppCode(env, id)).c_str(),
        JsonString(GetSenyouTitle(env, id, 0)).c_str(),
        JsonString(GetSenyouTitle(env, id, 1)).c_str(), ColourText(id).c_str(),
        JsonString(GetSenyouDLL(id)).c_str(), GetSenyouAllowCreate(env, id) ? "true" : "false",
        JsonString(GetSenyouPath(env, id)).c_str());
  }
  std::printf("\n]}\n");
}

}  // namespace

int RunApps(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const FolderEnvironObj env(root, options);
  if (args.Has("json")) {
    PrintJson(env);
    return 0;
  }
  std::printf("Host kind %lu\n", env.GetAppType());
  std::printf("%-3s %-7s %-4s %-14s %-16s %-8s %-9s %-6s %s\n", "row", "id", "code", "title",
              "long title", "colour", "module", "create", "folder");
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    const std::string title = Printable(GetSenyouTitle(env, id, 0));
    const std::string longTitle = "[" + Printable(GetSenyouTitle(env, id, 1)) + "]";
    const std::string module = GetSenyouDLL(id);
    const std::string code = AppCode(env, id);
    std::printf("%-3d %-7s %-4s %s %s %-8s %-9s %-6s %s\n", row, HexId(id).c_str(),
                code.empty() ? "-" : code.c_str(), PadToColumns(title, 14).c_str(),
                PadToColumns(longTitle, 16).c_str(), ColourText(id).c_str(),
                module.empty() ? "-" : module.c_str(), GetSenyouAllowCreate(env, id) ? "yes" : "no",
                Printable(GetSenyouPath(env, id)).c_str());
  }
  return 0;
}

}  // namespace vexa::tool
