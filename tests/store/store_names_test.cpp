#include "store/store_names.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa::store {
namespace {

TEST(StoreNames, FormattedNames) {
  struct Case {
    std::string (*make)(int);
    int number;
    const char* expected;
  } cases[] = {
      {FolderName, 1, "Fol.001"},
      {FolderName, 7, "Fol.007"},
      {FolderName, 999, "Fol.999"},
      {FolderName, 1000, "Fol.1000"},
      {PageFileName, 0, "pagefile.000"},
      {PageFileName, 42, "pagefile.042"},
      {PageFileName, 1234, "pagefile.1234"},
      {PageBmpName, 0, "page000.bmp"},
      {PageBmpName, 499, "page499.bmp"},
      {BackupName, 0, "BKUP"},
      {BackupName, 1, "BKUP.001"},
      {BackupName, 12, "BKUP.012"},
      {BackupName, 1000, "BKUP.1000"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.make(c.number), c.expected);
  EXPECT_STREQ(kIndexFileName, "INDEX.VXF");
  EXPECT_STREQ(kRecycleName, "RECYCCAD");
}

}  // namespace
}  // namespace vexa::store
