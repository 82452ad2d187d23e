#include "host/ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vexa {

bool InstallQtTranslation(QCoreApplication* app, const QLocale& locale) {
  if (!app) return false;
  // Qt keeps a pointer to the translator: it lives as long as the application.
  auto* translator = new QTranslator(app);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace vexa
