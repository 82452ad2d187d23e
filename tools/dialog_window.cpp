#include "tools/dialog_window.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

#include "tools/command.h"

namespace vexa::tool {
namespace {

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

int ChooseQtPlatform(bool screenshot) {
  if (screenshot || !HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!screenshot && platform && std::string(platform) == "offscreen") {
    return Fail("no display to show the dialog on; use --screenshot FILE to render it");
  }
  return 0;
}

void CaptureWhenShown(const char* templateId, const std::string& file, bool& saved) {
  QTimer::singleShot(0, [templateId, file, &saved] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() != templateId || !widget->isVisible()) continue;
      saved = widget->grab().save(QString::fromStdString(file), "PNG");
      QMetaObject::invokeMethod(widget, "reject", Qt::QueuedConnection);
      return;
    }
  });
}

}  // namespace vexa::tool
