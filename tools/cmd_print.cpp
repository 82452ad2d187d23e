// vexafol print: the drawing list of a store as the selection dialog prints
// it (the grid's order and search), written to a PDF file without a display
// or shown in the print preview.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/dialog_window.h"
#include "tools/list_choice.h"
#include "tools/load_progress.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/ui/zmn_list_job.h"
#include "vexafol/zmn_list_print.h"

namespace vexa::tool {
namespace {

// The standard drawing-list form in the store's forms folder; "" when the
// store has none.
std::string StandardForm(const CEnvironObj& env) {
  const std::string folder = GetZmnListFormFolder(env);
  if (folder.empty()) return "";
  std::string form = folder;
  env.AddFileName(form, kZmnListStandardForm);
  return env.IsExist(form) == 0 ? form : "";
}

// "page n / m" on one terminal line, rewritten after every page.
bool ShowProgress(int done, int total) {
  std::fprintf(stderr, "\rvexafol: print: page %d / %d", done, total);
  if (done == total) std::fprintf(stderr, "\n");
  return true;
}

}  // namespace

int RunPrint(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  if (!args.positional().empty()) root = args.positional()[0];
  ListChoice choice;
  std::string error;
  if (!ReadListChoice(args, choice, error)) return UsageError(error);
  const std::optional<std::string> pdf = args.Value("pdf");
  const bool preview = args.Has("preview");
  if (!pdf && !preview) return UsageError("print wants --pdf OUT.pdf or --preview");
  if (preview && !HasDisplay()) return Fail("no display to show the preview on; use --pdf OUT.pdf");

  const FolderEnvironObj env(root, options);
  if (env.IsExist(root) <= 0) return Fail(root + ": no such store folder");
  std::string formFile = args.Value("form").value_or("");
  if (formFile.empty()) {
    formFile = StandardForm(env);
    if (formFile.empty())
      return Fail("the store has no " + std::string(kZmnListStandardForm) + " in " +
                  GetZmnListFormFolder(env) + "; give a form with --form FILE");
  }

  VexaFolderList list(env);
  {
    const TerminalLoadProgress progress("print");
    list.Load(static_cast<int>(choice.app.value_or(-1)), VexaFolderList::kLoadNoLocks);
  }
  const std::vector<const FolMember*> members = ChosenMembers(env, list, choice);

  if (!HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ToolApplication application;

  CPrintMan manager;
  if (!SetUpZmnListJob(manager, env, formFile, members.data(), static_cast<int>(members.size()),
                       nullptr, nullptr, nullptr)) {
    return Fail("print: not enough memory");  // as main reports a bad_alloc
  }

  if (pdf) {
    const bool terminal = isatty(STDERR_FILENO) == 1;
    if (!manager.WritePdf(*pdf, terminal ? CPrintMan::Progress(ShowProgress) : nullptr))
      return Fail(manager.GetLastError());
    const int pages = manager.GetPageCount();
    std::printf("Wrote %zu drawing%s on %d page%s to %s\n", members.size(),
                members.size() == 1 ? "" : "s", pages, pages == 1 ? "" : "s",
                Printable(*pdf).c_str());
  }
  if (preview && manager.ExecPreview(nullptr, kZmnListTitle) < 0)
    return Fail(manager.GetLastError());
  return 0;
}

}  // namespace vexa::tool
