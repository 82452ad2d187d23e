// vexa::File on names that another member of the store turned into a link, a
// folder or a FIFO: every mode refuses at once, and nothing the name pointed
// at is created, truncated, written or deleted.
#include <sys/stat.h>

#include <chrono>

#include <gtest/gtest.h>

#include "tests/support/hostile_files.h"
#include "vexafol/file.h"

namespace vexa {
namespace {

using test::Hostile;
using test::Victims;

TEST(FileHostile, EveryModeRefusesLinksFoldersAndFifosWithoutBlocking) {
  test::TempDir store;
  const Victims victims(store / "Fol.006/INDEX.VXF");
  for (const Hostile kind : test::kHostiles) {
    const std::string path = store / "CADAPP.LOC";
    victims.Plant(kind, path);
    for (const File::Mode mode :
         {File::Mode::ReadOnly, File::Mode::ReadWrite, File::Mode::CreateTruncate}) {
      const auto start = std::chrono::steady_clock::now();
      File file;
      EXPECT_FALSE(file.Open(path, mode)) << NameOf(kind);
      EXPECT_EQ(file.LastError(), test::RefusalOf(kind)) << NameOf(kind);
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
      file.CloseAndRemove();
    }
    EXPECT_TRUE(victims.Untouched()) << NameOf(kind);
    EXPECT_TRUE(Victims::StillPlanted(kind, path)) << NameOf(kind);
    struct stat st;
    EXPECT_NE(lstat((path + ".nowhere").c_str(), &st), 0);  // a dangling link creates nothing
    Victims::Remove(kind, path);
  }
}

TEST(FileHostile, ALinkSwappedInAfterTheOpenIsNeitherFollowedNorDeleted) {
  test::TempDir store;
  const std::string path = store / "FOL002.LOC";
  const std::string moved = store / "moved.LOC";
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(file.SetLength(501));
  // The file goes away under another name and a link to it takes its place.
  ASSERT_EQ(rename(path.c_str(), moved.c_str()), 0);
  ASSERT_EQ(symlink(moved.c_str(), path.c_str()), 0);
  file.CloseAndRemove();
  EXPECT_TRUE(Victims::StillPlanted(Hostile::LinkInside, path));
  struct stat st;
  ASSERT_EQ(stat(moved.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 501);
}

TEST(FileHostile, NonThrowingCallsReportWhatTheThrowingOnesThrow) {
  test::TempDir dir;
  File file;
  size_t got = 1;
  uint64_t position = 0;
  EXPECT_FALSE(file.TryRead(&position, 1, got));
  EXPECT_EQ(file.LastError(), EBADF);
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(file.Open(dir / "data.bin", File::Mode::ReadWrite));
  EXPECT_TRUE(file.TryWrite("abc", 3));
  EXPECT_FALSE(file.TrySeek(-1, File::begin, position));
  EXPECT_EQ(file.LastError(), EINVAL);
  ASSERT_TRUE(file.TrySeek(1, File::begin, position));
  char buffer[8];
  ASSERT_TRUE(file.TryRead(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(buffer, got), "bc");
  ASSERT_TRUE(file.Open(dir / "data.bin", File::Mode::ReadOnly));
  EXPECT_FALSE(file.TryWrite("x", 1));
  EXPECT_EQ(file.LastError(), EBADF);
}

}  // namespace
}  // namespace vexa
