// Qt's own translations (stock dialogs, print preview, file dialog) for the
// user's language, from the system's Qt translations folder.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace vexa {

// Installs a translator with "qtbase" for locale (qtbase_ja.qm for
// Japanese) from QLibraryInfo::TranslationsPath into app. Returns whether
// one was found and installed; the C locale and English find none, so Qt
// speaks its own English.
bool InstallQtTranslation(QCoreApplication* app, const QLocale& locale);

}  // namespace vexa
