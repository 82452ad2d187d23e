// Main of the UI tests: renders offscreen unless a display platform was
// chosen (a Qt program without a display aborts), pins the locale and time
// zone, and creates the one QApplication the tests share.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include <clocale>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("TZ", "Asia/Tokyo", 1);
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  setenv("LANG", "ja_JP.UTF-8", 1);
  tzset();
  std::setlocale(LC_ALL, "");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
