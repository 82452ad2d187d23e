#include "vexafol/ui/ui_library.h"

#include <QCursor>
#include <QGuiApplication>
#include <QString>

#include "host/ui/qt_translation.h"
#include "vexafol/hooks.h"

namespace vexa {

void InitUiLibrary() {
  // Qt's translations need the application object; a component made before
  // it exists leaves them to the next call.
  static bool translated = false;
  if (!translated && QCoreApplication::instance()) {
    translated = true;
    InstallQtTranslation(QCoreApplication::instance(), QLocale::system());
  }
  static bool initialised = false;
  if (initialised) return;
  initialised = true;
  QFont::insertSubstitution(QString::fromUtf8(kFacePGothic), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QString::fromUtf8(kFaceGothic), QStringLiteral("IPAGothic"));
  // SetWaitCursorHook only answers by replacing, so put a host's hook back.
  WaitCursorHook hostHook = SetWaitCursorHook(&ShowWaitCursor);
  if (hostHook) SetWaitCursorHook(hostHook);
}

void ShowWaitCursor(bool show) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (show) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
}

QPixmap LoadBitmap(int id) {
  return QPixmap(QStringLiteral(":/vexafol/bitmaps/%1.xpm").arg(id));
}

QFont DialogFont(const std::string& face, int pointSize) {
  InitUiLibrary();
  return QFont(QString::fromStdString(face), pointSize);
}

}  // namespace vexa
