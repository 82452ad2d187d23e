// vexafol recycle: the slots of a store's recycle folder, newest first.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "tools/columns.h"
#include "tools/command.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/filetime.h"
#include "vexafol/recycle.h"
#include "vexafol/senyou.h"

namespace vexa::tool {
namespace {

std::string LocalTime(int64_t seconds) {
  const time_t when = static_cast<time_t>(seconds);
  struct tm local {};
  if (!localtime_r(&when, &local)) return "";
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void PrintTable(const CEnvironObj& env, const std::vector<RecycleSlot>& slots) {
  std::vector<std::vector<std::string>> rows = {
      {"SLOT", "TITLE", "APPLICATION", "DELETED", "CONTAINER"}};
  for (const RecycleSlot& slot : slots) {
    rows.push_back({std::to_string(slot.slot), Printable(slot.title),
                    slot.appId ? GetSenyouTitle(env, slot.appId, 1) : "-", LocalTime(slot.deleted),
                    Printable(NameOf(slot.container))});
  }
  std::vector<size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c)
      line += c + 1 == row.size() ? row[c] : PadToColumns(row[c], widths[c]) + "  ";
    std::printf("%s\n", line.c_str());
  }
}

void PrintJson(const std::vector<RecycleSlot>& slots) {
  std::printf("[");
  for (size_t i = 0; i < slots.size(); ++i) {
    const RecycleSlot& slot = slots[i];
    std::printf(
        "%s\n  {\"slot\": %d, \"container\": %s, \"drawing\": %s, \"title\": %s, "
        "\"appId\": %d, \"deleted\": %s}",
        i ? "," : "", slot.slot, JsonString(slot.container).c_str(),
        JsonString(slot.drawing).c_str(), JsonString(slot.title).c_str(), slot.appId,
        JsonString(IsoTime(UnixToFileTime(slot.deleted))).c_str());
  }
  std::printf("%s]\n", slots.empty() ? "" : "\n");
}

}  // namespace

int RunRecycle(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  if (!args.positional().empty()) root = args.positional()[0];
  const FolderEnvironObj env(root, options);
  const std::vector<RecycleSlot> slots = ListRecycleSlots(env);
  if (args.Has("json"))
    PrintJson(slots);
  else
    PrintTable(env, slots);
  return 0;
}

}  // namespace vexa::tool
