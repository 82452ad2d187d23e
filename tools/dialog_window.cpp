#include "tools/dialog_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

#include "tools/command.h"

namespace vexa::tool {
namespace {

// QApplication keeps references to its arguments for its whole life.
int qtArgc = 1;
char qtName[] = "vexafol";
char* qtArgv[] = {qtName, nullptr};

// The visible top-level dialog of template id name; null when none.
QWidget* VisibleDialog(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) return widget;
  }
  return nullptr;
}

void SaveAndCancel(QWidget* dialog, const QString& path, bool& saved) {
  saved = dialog->grab().save(path, "PNG");
  QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
}

}  // namespace

ToolApplication::ToolApplication() : QApplication(qtArgc, qtArgv) {}

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

int ChooseQtPlatform(bool screenshot) {
  if (screenshot || !HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!screenshot && platform && std::string(platform) == "offscreen") {
    return Fail("no display to show the dialog on; use --screenshot FILE to render it");
  }
  return 0;
}

void CaptureWhenShown(const char* templateId, const std::string& file, bool& saved,
                      const char* button, const char* opened) {
  const QString path = QString::fromStdString(file);
  QTimer::singleShot(0, [templateId, path, &saved, button, opened] {
    QWidget* dialog = VisibleDialog(templateId);
    if (!dialog) return;
    if (button) {
      QTimer::singleShot(0, [path, &saved, opened] {
        if (QWidget* other = VisibleDialog(opened)) SaveAndCancel(other, path, saved);
      });
      // Returns once the opened dialog was closed.
      if (auto* pressed = dialog->findChild<QAbstractButton*>(button)) pressed->click();
    } else {
      SaveAndCancel(dialog, path, saved);
      return;
    }
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
  });
}

}  // namespace vexa::tool
