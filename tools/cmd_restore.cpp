// vexafol restore: brings a deleted drawing or a backup back as a new drawing
// of its application, as a host does after the selection dialog's restores.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/drawing_name.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/folmember.h"
#include "vexafol/recycle.h"
#include "vexafol/restore.h"

namespace vexa::tool {

int RunRestore(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const std::optional<long> slot = args.Number("slot");
  const std::optional<std::string> backup = args.Value("backup");
  if (!args.ok()) return UsageError(args.error());
  if (slot.has_value() == backup.has_value())
    return UsageError("restore needs either --slot N or --backup DRAWING_FOLDER (see --help)");
  std::vector<std::string> rest = args.positional();
  // STORE first when given; with --backup a backup number (digits) may follow.
  const bool numberOnly =
      rest.size() == 1 && rest[0].find_first_not_of("0123456789") == std::string::npos;
  if (!rest.empty() && (slot || !numberOnly)) {
    root = rest.front();
    rest.erase(rest.begin());
  }
  const FolderEnvironObj env(root, options);

  std::string error;
  std::string placed;
  if (slot) {
    if (!rest.empty()) return UsageError("restore --slot takes no backup number");
    std::string drawing;
    for (const RecycleSlot& taken : ListRecycleSlots(env))
      if (taken.slot == *slot) drawing = taken.drawing;
    if (drawing.empty()) return Fail("slot " + std::to_string(*slot) + " holds no drawing");
    placed = RestoreRecycled(env, drawing, error);
  } else {
    int number = 0;
    if (!rest.empty()) {
      char* end = nullptr;
      const long parsed = std::strtol(rest.front().c_str(), &end, 10);
      if (*end != '\0' || parsed < 0 || parsed > 999)
        return UsageError("'" + rest.front() + "' is not a backup number (0 to 999)");
      number = static_cast<int>(parsed);
    }
    std::string folder;
    if (!DrawingFolder(env, *backup, folder, error)) return UsageError(error);
    CreateBackupPath(env, folder, number);
    placed = RestoreBackup(env, folder, error);
  }
  if (placed.empty()) return Fail(error);
  std::printf("%s\n", Printable(placed).c_str());
  return 0;
}

}  // namespace vexa::tool
