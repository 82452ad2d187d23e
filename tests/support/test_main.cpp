// Shared main of the core tests: pins the locale and time zone so that dates,
// times and collation come out the same on every machine.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  setenv("TZ", "Asia/Tokyo", 1);
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  setenv("LANG", "ja_JP.UTF-8", 1);
  tzset();
  std::setlocale(LC_ALL, "");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
