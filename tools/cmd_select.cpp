// vexafol select: the drawing selection dialog over a store, as a host
// application shows it; prints the paths the user chose. With --screenshot
// it renders the dialog offscreen to a PNG instead of waiting for a user.
#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/demo_store.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/dialogs.h"
#include "vexafol/folder_environ.h"
#include "vexafol/print.h"
#include "vexafol/zmn_list_print.h"

namespace vexa::tool {
namespace {

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

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

// Once the dialog is up: saves its picture to file and cancels it.
void CaptureWhenShown(const std::string& file, bool& saved) {
  QTimer::singleShot(0, [file, &saved] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() != "29003" || !widget->isVisible()) continue;
      saved = widget->grab().save(QString::fromStdString(file), "PNG");
      QMetaObject::invokeMethod(widget, "reject", Qt::QueuedConnection);
      return;
    }
  });
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

  // A Qt program without a display aborts; a screenshot never needs one.
  if (screenshot || !HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!screenshot && platform && std::string(platform) == "offscreen") {
    return Fail("no display to show the dialog on; use --screenshot FILE to render it");
  }
  static int qtArgc = 1;
  static char qtName[] = "vexafol";
  static char* qtArgv[] = {qtName, nullptr};
  QApplication application(qtArgc, qtArgv);

  FolderEnvironOptions options;
  options.appType = static_cast<unsigned long>(hostKind.value_or(0));
  const FolderEnvironObj env(root, options);
  bool saved = false;
  if (screenshot) CaptureWhenShown(*screenshot, saved);

  // Writing needs one application to write into; the other kinds show all.
  const int appFilter = static_cast<int>(app.value_or(kind == 1 ? 0x1 : -1));
  std::vector<std::string> paths;
  // Printing offered with the store's forms; conditions kept for this run.
  CFormPathList forms;
  forms.AddPath(GetZmnListFormFolder(env));
  CJknMan conditions;
  const int result =
      SelectFolderName(nullptr, env, kind, appFilter, paths, &forms, &conditions, nullptr, 1);
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
