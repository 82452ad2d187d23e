// vexafol pages: the page dialog over one drawing of a store, as a host
// application shows it for page drafting; prints the chosen page and its page
// file. With --screenshot it renders the dialog offscreen to a PNG instead.

#include <cstdio>
#include <string>

#include "tools/command.h"
#include "tools/dialog_window.h"
#include "tools/drawing_name.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/dialogs.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa::tool {

int RunPages(Args& args) {
  if (args.positional().size() != 1)
    return UsageError("pages needs one drawing folder (see --help)");
  const std::optional<std::string> screenshot = args.Value("screenshot");
  const std::optional<long> mode = args.Number("kind");
  std::string root;
  FolderEnvironOptions options;
  std::string folder;
  if (const int status = LoadDrawing(args, args.positional()[0], root, options, folder))
    return status;
  const FolderEnvironObj env(root, options);

  if (const int status = ChooseQtPlatform(screenshot.has_value())) return status;
  ToolApplication application;

  FolMember drawing;
  ReadFolderMember(env, folder, nullptr, drawing);  // a drawing without its index file shows empty
  VexaFolderLock lock(&env);
  bool saved = false;
  if (screenshot) CaptureWhenShown(kTemplatePageDlg, *screenshot, saved);
  const int page =
      SelectPageName(nullptr, env, static_cast<int>(mode.value_or(kModeOpen)), &drawing, &lock);
  const bool json = args.Has("json");
  if (screenshot) {
    if (!saved) return Fail(*screenshot + ": cannot save the dialog's picture");
    if (json)
      std::printf("{\"drawing\": %s, \"screenshot\": %s}\n", JsonString(folder).c_str(),
                  JsonString(*screenshot).c_str());
    else
      std::printf("Saved the page dialog of %s to %s\n", Printable(folder).c_str(),
                  Printable(*screenshot).c_str());
    return 0;
  }
  if (page < 0) {
    std::fprintf(stderr, "vexafol: no page chosen\n");
    return 1;
  }
  const std::string pageFile = drawing.GetPageFile(env, 0, page);
  if (json)
    std::printf("{\"drawing\": %s, \"page\": %d, \"pageFile\": %s}\n", JsonString(folder).c_str(),
                page, JsonString(pageFile).c_str());
  else
    std::printf("%d %s\n", page, Printable(pageFile).c_str());
  return 0;
}

}  // namespace vexa::tool
