// Qt's own texts (stock buttons, the print preview's tool tips, the file
// dialog) in the user's language, from the system's Qt translations.
#include "host/ui/qt_translation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

QString Qt(const char* context, const char* text) {
  return QCoreApplication::translate(context, text);
}

TEST(QtTranslationTest, TheLibraryLoadsJapaneseForTheUsersLocaleAndNothingForC) {
  // The tests run under ja_JP.UTF-8: the library's set-up brings Japanese.
  InitUiLibrary();
  EXPECT_EQ(Qt("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
  EXPECT_NE(Qt("QPrintPreviewDialog", "Next page"), QStringLiteral("Next page"));
  EXPECT_NE(Qt("QFileDialog", "Look in:"), QStringLiteral("Look in:"));

  // C has no translation of its own: Qt keeps its English.
  EXPECT_FALSE(InstallQtTranslation(QCoreApplication::instance(), QLocale::c()));
  EXPECT_FALSE(InstallQtTranslation(nullptr, QLocale(QLocale::Japanese, QLocale::Japan)));
}

TEST(QtTranslationTest, AnEnglishTranslationLeavesQtsTextsEnglish) {
  InitUiLibrary();
  // Japanese taken away, English put in its place.
  QTranslator* japanese = nullptr;
  for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    if (t->language().startsWith(QStringLiteral("ja"))) japanese = t;
  }
  ASSERT_NE(japanese, nullptr);
  QCoreApplication::removeTranslator(japanese);
  InstallQtTranslation(QCoreApplication::instance(),
                       QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(Qt("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  EXPECT_EQ(Qt("QPrintPreviewDialog", "Next page"), QStringLiteral("Next page"));
  QCoreApplication::installTranslator(japanese);
}

}  // namespace
}  // namespace vexa
