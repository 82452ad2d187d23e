#include "tools/dialog_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "tools/command.h"

namespace vexa::tool {
namespace {

// QApplication keeps references to its arguments for its whole life.
int qtArgc = 1;
char qtName[] = "vexafol";
char* qtArgv[] = {qtName, nullptr};

// The visible top-level dialog of the template; null when none.
QWidget* VisibleDialog(int templateId) {
  const QString name = QString::number(templateId);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) return widget;
  }
  return nullptr;
}

// Calls then with the dialog of templateId once it is visible. The dialog may
// come up only after a loading window has shown the store's reading, so the
// windows are looked at every 10 ms rather than once.
void WhenVisible(int templateId, std::function<void(QWidget*)> then) {
  auto* poll = new QTimer(QCoreApplication::instance());
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, templateId, then = std::move(then)] {
    QWidget* dialog = VisibleDialog(templateId);
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    const auto call = then;  // the timer and this lambda go while call runs
    call(dialog);
  });
  poll->start();
}

void SaveAndCancel(QWidget* dialog, const QString& path, bool& saved) {
  saved = dialog->grab().save(path, "PNG");
  QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
}

// Qt's notes about the session it runs in, which tell a user of the tool
// nothing they could act on: no runtime folder (a headless or su session),
// the offscreen platform's missing window-manager features.
constexpr const char* kSessionNoise[] = {
    "XDG_RUNTIME_DIR",
    "propagateSizeHints",
    "This plugin does not support",
};

bool IsQtNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) return false;
  if (type == QtDebugMsg || type == QtInfoMsg) return true;
  if (context.category && std::strncmp(context.category, "qt.", 3) == 0) return true;
  for (const char* noise : kSessionNoise) {
    if (message.contains(QLatin1String(noise))) return true;
  }
  return false;
}

void ToolMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (IsQtNoise(type, context, message)) return;
  std::fprintf(stderr, "vexafol: %s\n", message.toLocal8Bit().constData());
  if (type == QtFatalMsg) std::abort();
}

// Installed before the application exists: the platform plugin speaks while
// it is loaded.
const QtMessageHandler installed = qInstallMessageHandler(ToolMessageHandler);

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

void CaptureWhenShown(int templateId, const std::string& file, bool& saved, int button,
                      int opened) {
  const QString path = QString::fromStdString(file);
  WhenVisible(templateId, [path, &saved, button, opened](QWidget* dialog) {
    if (button == 0) {
      SaveAndCancel(dialog, path, saved);
      return;
    }
    WhenVisible(opened, [path, &saved](QWidget* other) { SaveAndCancel(other, path, saved); });
    // Returns once the opened dialog was closed.
    if (auto* pressed = dialog->findChild<QAbstractButton*>(QString::number(button))) {
      pressed->click();
    }
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
  });
}

}  // namespace vexa::tool
