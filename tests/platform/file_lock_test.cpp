// The byte-range lock properties of vexa::File seen from this process while
// another holder has bytes of the file: another handle of this process,
// another process, or another process that is then killed.
#include <sys/stat.h>

#include <memory>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "vexafol/file.h"

namespace vexa {
namespace {

using test::HoldingChild;

enum class Other { kHandle, kProcess, kKilledProcess };

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The error of reading count bytes from offset, 0 when the read succeeds.
int ReadError(File& file, uint64_t offset, size_t count) {
  char buffer[1000];
  file.Seek(static_cast<int64_t>(offset));
  try {
    file.Read(buffer, count);
    return 0;
  } catch (const FileException& e) {
    return e.error();
  }
}

// The other holder locks byte 5 of a 100-byte file and byte 500 beyond its
// end; its own locks neither hide bytes from it nor can be taken twice.
bool TakeLocks(File& file, const std::string& path) {
  return file.Open(path, File::Mode::ReadWrite) && file.SetLength(100) && file.LockRange(5, 1) &&
         file.LockRange(500, 1) && !file.LockRange(5, 1) && ReadError(file, 0, 100) == 0;
}

class FileLocks : public testing::TestWithParam<Other> {};

TEST_P(FileLocks, HoldAgainstEveryOtherHandleUntilTheirHolderEnds) {
  test::TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  File holder;
  std::unique_ptr<HoldingChild> child;
  if (GetParam() == Other::kHandle) {
    ASSERT_TRUE(TakeLocks(holder, path));
  } else {
    child = std::make_unique<HoldingChild>([&] { return TakeLocks(holder, path); });
    ASSERT_TRUE(child->holding());
  }
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  // Exclusive and refused at once, also for a range overlapping the byte and
  // for a second lock through the same handle.
  EXPECT_FALSE(file.LockRange(5, 1));
  EXPECT_FALSE(file.LockRange(0, 10));
  EXPECT_TRUE(file.LockRange(6, 1));
  EXPECT_FALSE(file.LockRange(6, 1));
  // Locks beyond the end of the file count like any other.
  EXPECT_FALSE(file.LockRange(500, 1));
  EXPECT_TRUE(file.LockRange(501, 1));
  // Reads and writes over another handle's byte fail; this handle's byte does not hide.
  EXPECT_EQ(ReadError(file, 0, 10), EACCES);
  EXPECT_EQ(ReadError(file, 5, 1), EACCES);
  EXPECT_EQ(ReadError(file, 0, 5), 0);
  EXPECT_EQ(ReadError(file, 6, 94), 0);
  file.Seek(5);
  EXPECT_THROW(file.Write("x", 1), FileException);
  // Only the bytes this handle locked, exactly as locked, can be released.
  EXPECT_FALSE(file.UnlockRange(5, 1));
  EXPECT_FALSE(file.UnlockRange(6, 2));
  EXPECT_TRUE(file.UnlockRange(6, 1));
  EXPECT_FALSE(file.UnlockRange(6, 1));
  // No deletion while another handle has the file open.
  file.CloseAndRemove();
  EXPECT_TRUE(Exists(path));

  switch (GetParam()) {
    case Other::kHandle:
      holder.Close();
      break;
    case Other::kProcess:
      EXPECT_EQ(child->Release(), 0);
      break;
    case Other::kKilledProcess:
      EXPECT_EQ(child->Kill(), 128 + SIGKILL);
      break;
  }
  // The end of the holder released everything; this is the last user now.
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_TRUE(file.LockRange(5, 1));
  EXPECT_TRUE(file.LockRange(500, 1));
  EXPECT_EQ(ReadError(file, 0, 100), 0);
  file.CloseAndRemove();
  EXPECT_FALSE(Exists(path));
}

std::string HolderName(const testing::TestParamInfo<Other>& info) {
  return info.param == Other::kHandle    ? "AnotherHandle"
         : info.param == Other::kProcess ? "AnotherProcess"
                                         : "AKilledProcess";
}

INSTANTIATE_TEST_SUITE_P(OtherHolders, FileLocks,
                         testing::Values(Other::kHandle, Other::kProcess, Other::kKilledProcess),
                         HolderName);

}  // namespace
}  // namespace vexa
