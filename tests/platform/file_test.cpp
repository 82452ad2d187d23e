// vexa::File within one process: modes, data operations, the lock range limits
// and the deletion by the last user.
#include "vexafol/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadFileBytes;
using test::TempDir;

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

TEST(File, ModesCreateKeepOrTruncateAndAreCloseOnExec) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  File file;
  EXPECT_FALSE(file.Open(path, File::Mode::ReadOnly));
  EXPECT_EQ(file.LastError(), ENOENT);
  EXPECT_EQ(file.GetFilePath(), "");
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_NE(fcntl(file.fd(), F_GETFD) & FD_CLOEXEC, 0);
  file.Write("abcdef", 6);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));  // closes the old handle, never truncates
  EXPECT_EQ(file.GetLength(), 6u);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadOnly));
  EXPECT_THROW(file.Write("x", 1), FileException);
  ASSERT_TRUE(file.Open(path, File::Mode::CreateTruncate));
  file.Close();
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(File, StatusGivesSizePathWindowsTimeAndReadOnly) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_THROW(file.Seek(-1, File::begin), FileException);
  ASSERT_TRUE(file.SetLength(1000));
  FileStatus status;
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.size, 1000u);
  EXPECT_EQ(status.path, path);
  EXPECT_FALSE(status.readOnly);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  const uint64_t ticks =
      (static_cast<uint64_t>(status.modified.dwHighDateTime) << 32) | status.modified.dwLowDateTime;
  EXPECT_EQ(ticks / 10000000u - 11644473600u, static_cast<uint64_t>(st.st_mtime));
  file.Close();
  EXPECT_FALSE(file.GetStatus(status));
  chmod(path.c_str(), 0444);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadOnly));
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_TRUE(status.readOnly);
}

TEST(File, LockRangesStayInBoundsAndOnlyTheLastWriterDeletes) {
  TempDir dir;
  File a, b;
  ASSERT_TRUE(a.Open(dir / "x.LOC", File::Mode::ReadWrite));
  ASSERT_TRUE(b.Open(dir / "x.LOC", File::Mode::ReadOnly));
  EXPECT_FALSE(a.LockRange(5, 0));
  EXPECT_FALSE(a.LockRange(File::kLockLimit - 1, 2));
  EXPECT_FALSE(a.LockRange(File::kSentinelOffset - 1, 2));
  EXPECT_TRUE(a.LockRange(File::kSentinelOffset - 1, 1));
  EXPECT_TRUE(a.LockRange(File::kSentinelOffset + 1, 1));
  EXPECT_TRUE(a.LockRange(File::kLockLimit - 1, 1));
  EXPECT_EQ(a.GetLength(), 0u);
  // The other (read-only) handle's in-use mark survives all of this: removal
  // is refused, and a read-only handle cannot delete the file either.
  a.CloseAndRemove();
  EXPECT_TRUE(Exists(dir / "x.LOC"));
  b.CloseAndRemove();
  EXPECT_TRUE(Exists(dir / "x.LOC"));
  ASSERT_TRUE(a.Open(dir / "x.LOC", File::Mode::ReadWrite));
  a.CloseAndRemove();
  EXPECT_FALSE(Exists(dir / "x.LOC"));
}

TEST(File, OpenGivesUpWhileADeleterHoldsTheFileAndThenFindsTheNewFile) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  test::WriteFileBytes(path, "old");
  // Another user in the middle of CloseAndRemove: the in-use byte held exclusively.
  const int deleter = open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(deleter, 0);
  struct flock exclusive {};
  exclusive.l_type = F_WRLCK;
  exclusive.l_whence = SEEK_SET;
  exclusive.l_start = File::kSentinelOffset;
  exclusive.l_len = 1;
  ASSERT_EQ(fcntl(deleter, F_OFD_SETLK, &exclusive), 0);
  File file;
  EXPECT_FALSE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_TRUE(file.LastError() == EAGAIN || file.LastError() == EACCES);
  EXPECT_FALSE(file.IsOpen());
  // Once it has unlinked the file, opening makes a fresh one even before it closes.
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_EQ(file.GetLength(), 0u);
  close(deleter);
}

}  // namespace
}  // namespace vexa
