// vexafol select: the drawing selection dialog over a store, as a host
// application shows it, searched by the search options when given; prints the
// paths the user chose. With --screenshot it renders the dialog (or with
// --screenshot-search its search dialog) offscreen to a PNG instead of
// waiting for a user.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/demo_store.h"
#include "tools/dialog_window.h"
#include "tools/output_text.h"
#include "tools/restore_hint.h"
#include "tools/search_options.h"
#include "tools/store_env.h"
#include "vexafol/dialogs.h"
#include "vexafol/folder_environ.h"
#include "vexafol/print.h"
#include "vexafol/senyou_ids.h"
#include "vexafol/ui/message_box.h"
#include "vexafol/ui/resource_ids.h"
#include "vexafol/zmn_list_print.h"

namespace vexa::tool {
namespace {

bool ParseKind(const std::string& text, int& kind) {
  if (text == "open")
    kind = kModeOpen;
  else if (text == "write")
    kind = kModeWrite;
  else if (text == "delete")
    kind = kModeDelete;
  else
    return false;
  return true;
}

}  // namespace

int RunSelect(Args& args) {
  const std::optional<std::string> dialogShot = args.Value("screenshot");
  const std::optional<std::string> searchShot = args.Value("screenshot-search");
  if (dialogShot && searchShot) {
    return UsageError("--screenshot and --screenshot-search exclude each other");
  }
  const std::optional<std::string> screenshot = dialogShot ? dialogShot : searchShot;
  int kind = kModeOpen;
  if (!ParseKind(args.Value("kind").value_or("open"), kind)) {
    return UsageError("--kind must be open, write or delete");
  }
  const std::optional<long> app = args.Number("app");
  const std::optional<long> hostKind = args.Number("host-kind");
  if (!args.ok()) return UsageError(args.error());
  FindCriteria criteria;
  std::string error;
  if (!ReadSearchOptions(args, criteria, error)) return UsageError(error);

  std::string root = args.positional().empty() ? ChosenStore(args) : args.positional()[0];
  if (root.empty()) {
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
  ToolApplication application;

  FolderEnvironOptions options;
  options.appType = static_cast<unsigned long>(hostKind.value_or(0));
  const FolderEnvironObj env(root, options);
  bool saved = false;
  std::optional<ScopedMessageBoxHook> toStderr;
  if (screenshot) {
    if (searchShot) {
      CaptureWhenShown(kTemplateFileDlg, *screenshot, saved, kFileDlgSearchButton,
                       kTemplateFindDlg);
    } else {
      CaptureWhenShown(kTemplateFileDlg, *screenshot, saved);
    }
    // Nobody is there to answer a message: it goes to stderr instead.
    toStderr.emplace([](QWidget*, const std::string& text, const std::string&, unsigned type) {
      std::fprintf(stderr, "vexafol: %s\n", text.c_str());
      return (type & 0xFu) == MB_OK ? IDOK : IDCANCEL;
    });
  }
  std::optional<ScopedStartSearch> search;
  if (HasSearchOptions(args)) search.emplace(criteria);

  // Writing needs one application to write into; the other kinds show all.
  const int appFilter = static_cast<int>(app.value_or(kind == kModeWrite ? kAppGeneral : -1));
  std::vector<std::string> paths;
  // Printing offered with the store's forms; conditions kept for this run.
  CFormPathList forms;
  forms.AddPath(GetZmnListFormFolder(env));
  CJknMan conditions;
  const int result =
      SelectFolderName(nullptr, env, kind, appFilter, paths, &forms, &conditions, nullptr, 1);
  if (screenshot) {
    if (!saved) return Fail(*screenshot + ": cannot save the dialog's picture");
    std::printf("Saved the %s dialog over %s to %s\n", searchShot ? "search" : "selection",
                Printable(root).c_str(), Printable(*screenshot).c_str());
    return 0;
  }
  if (result == 0) {
    std::fprintf(stderr, "vexafol: nothing chosen\n");
    return 1;
  }
  for (const std::string& path : paths) {
    std::printf("%s\n", Printable(path).c_str());
    const std::string hint = RestoreHint(env, root, path);
    if (!hint.empty()) std::fprintf(stderr, "vexafol: %s\n", hint.c_str());
  }
  return 0;
}

}  // namespace vexa::tool
