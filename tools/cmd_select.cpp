// vexafol select: the drawing selection dialog over a store, as a host
// application shows it; prints the paths the user chose. With --screenshot
// it renders the dialog offscreen to a PNG instead of waiting for a user.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/demo_store.h"
#include "tools/dialog_window.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/dialogs.h"
#include "vexafol/folder_environ.h"

namespace vexa::tool {
namespace {

bool ParseKind(const std::string& text, int& kind) {
  if (text == "open")
    kind = 0;
  else if (text == "write")
    kind = 1;
  else if (text == "delete")
    kind = 2;
  else
    return false;
  return true;
}

}  // namespace

int RunSelect(Args& args) {
  const std::optional<std::string> screenshot = args.Value("screenshot");
  int kind = 0;
  if (!ParseKind(args.Value("kind").value_or("open"), kind)) {
    return UsageError("--kind must be open, write or delete");
  }
  const std::optional<long> app = args.Number("app");
  const std::optional<long> hostKind = args.Number("host-kind");
  if (!args.ok()) return UsageError(args.error());

  std::string root;
  if (!args.positional().empty()) {
    root = args.positional()[0];
  } else {
    root = DefaultSampleStore();
    if (root.empty()) return Fail("no store given and neither XDG_DATA_HOME nor HOME is set");
    if (FolderEnvironObj("").IsExist(root) < 0) {
      if (const int status = MakeDemoStore(root, stderr)) return status;
    } else {
      std::fprintf(stderr, "Showing the sample store in %s\n", root.c_str());
    }
  }
  if (FolderEnvironObj("").IsExist(root) <= 0) return Fail(root + ": no such store folder");

  if (const int status = ChooseQtPlatform(screenshot.has_value())) return status;
  static int qtArgc = 1;
  static char qtName[] = "vexafol";
  static char* qtArgv[] = {qtName, nullptr};
  QApplication application(qtArgc, qtArgv);

  FolderEnvironOptions options;
  options.appType = static_cast<unsigned long>(hostKind.value_or(0));
  const FolderEnvironObj env(root, options);
  bool saved = false;
  if (screenshot) CaptureWhenShown("29003", *screenshot, saved);

  // Writing needs one application to write into; the other kinds show all.
  const int appFilter = static_cast<int>(app.value_or(kind == 1 ? 0x1 : -1));
  std::vector<std::string> paths;
  const int result =
      SelectFolderName(nullptr, env, kind, appFilter, paths, nullptr, nullptr, nullptr, 1);
  if (screenshot) {
    if (!saved) return Fail(*screenshot + ": cannot save the dialog's picture");
    std::printf("Saved the selection dialog over %s to %s\n", Printable(root).c_str(),
                Printable(*screenshot).c_str());
    return 0;
  }
  if (result == 0) {
    std::fprintf(stderr, "vexafol: nothing chosen\n");
    return 1;
  }
  for (const std::string& path : paths) std::printf("%s\n", Printable(path).c_str());
  return 0;
}

}  // namespace vexa::tool
