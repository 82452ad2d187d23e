// vexa::File within one process: modes, data operations, and the byte-range
// lock properties seen through two handles of the same file.
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
using test::WriteFileBytes;

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
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.GetFilePath(), "");

  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_NE(fcntl(file.fd(), F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(file.GetFilePath(), path);
  file.Write("abcdef", 6);
  file.Close();
  EXPECT_EQ(ReadFileBytes(path), "abcdef");

  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));  // never truncates
  EXPECT_EQ(file.GetLength(), 6u);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadOnly));  // closes the previous handle first
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
  EXPECT_EQ(std::string(buffer, 6), "abcdef");
  EXPECT_THROW(file.Write("x", 1), FileException);

  ASSERT_TRUE(file.Open(path, File::Mode::CreateTruncate));
  EXPECT_EQ(file.GetLength(), 0u);
  file.Close();
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(File, SeekLengthAndStatus) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  file.Write("0123456789", 10);
  EXPECT_EQ(file.Seek(2), 2u);
  EXPECT_EQ(file.Seek(3, File::current), 5u);
  char c = 0;
  EXPECT_EQ(file.Read(&c, 1), 1u);
  EXPECT_EQ(c, '5');
  EXPECT_EQ(file.Seek(-1, File::end), 9u);
  EXPECT_THROW(file.Seek(-1, File::begin), FileException);

  ASSERT_TRUE(file.SetLength(1000));
  EXPECT_EQ(file.GetLength(), 1000u);
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
  EXPECT_THROW(file.Read(&c, 1), FileException);
  chmod(path.c_str(), 0444);
  ASSERT_TRUE(file.Open(path, File::Mode::ReadOnly));
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_TRUE(status.readOnly);
}

TEST(File, SecondLockOfAHeldByteIsRefusedEvenThroughTheSameHandle) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  File a, b;
  ASSERT_TRUE(a.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(b.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(a.LockRange(12, 1));
  EXPECT_FALSE(a.LockRange(12, 1));
  EXPECT_FALSE(b.LockRange(12, 1));
  EXPECT_TRUE(b.LockRange(13, 1));
  EXPECT_FALSE(a.LockRange(10, 5));  // overlaps both handles' bytes
  // A release must name a range this handle locked.
  EXPECT_FALSE(b.UnlockRange(12, 1));
  EXPECT_FALSE(a.UnlockRange(11, 1));
  EXPECT_FALSE(a.UnlockRange(12, 2));
  EXPECT_TRUE(a.UnlockRange(12, 1));
  EXPECT_FALSE(a.UnlockRange(12, 1));
  EXPECT_TRUE(b.LockRange(12, 1));
  EXPECT_TRUE(b.UnlockRange(12, 1));
  EXPECT_TRUE(b.UnlockRange(13, 1));
  EXPECT_TRUE(a.LockRange(10, 5));
}

TEST(File, LockRangesStayBelowTheLimitAndOffTheSentinel) {
  TempDir dir;
  File a, b;
  ASSERT_TRUE(a.Open(dir / "x.LOC", File::Mode::ReadWrite));
  ASSERT_TRUE(b.Open(dir / "x.LOC", File::Mode::ReadWrite));
  EXPECT_FALSE(a.LockRange(5, 0));
  EXPECT_FALSE(a.LockRange(File::kLockLimit, 1));
  EXPECT_FALSE(a.LockRange(File::kLockLimit - 1, 2));
  EXPECT_FALSE(a.LockRange(File::kSentinelOffset, 1));
  EXPECT_FALSE(a.LockRange(File::kSentinelOffset - 1, 2));
  // Around the sentinel, and far beyond the end of the (empty) file, is fine.
  EXPECT_TRUE(a.LockRange(File::kSentinelOffset - 1, 1));
  EXPECT_TRUE(a.LockRange(File::kSentinelOffset + 1, 1));
  EXPECT_TRUE(a.LockRange(File::kLockLimit - 1, 1));
  EXPECT_TRUE(b.LockRange(999, 1));
  EXPECT_EQ(a.GetLength(), 0u);
  // The other handle's in-use mark survives all of this: removal is refused.
  a.CloseAndRemove();
  EXPECT_TRUE(Exists(dir / "x.LOC"));
}

TEST(File, ReadsFailOnlyOverBytesLockedThroughAnotherHandle) {
  TempDir dir;
  const std::string path = dir / "FOL012.LOC";
  File holder, reader;
  ASSERT_TRUE(holder.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(holder.SetLength(501));
  ASSERT_TRUE(reader.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(holder.LockRange(7, 1));
  ASSERT_TRUE(reader.LockRange(3, 1));
  ASSERT_TRUE(holder.LockRange(500, 1));

  char buffer[501];
  reader.Seek(0);
  try {
    reader.Read(buffer, 500);
    ADD_FAILURE() << "read over a foreign lock succeeded";
  } catch (const FileException& e) {
    EXPECT_EQ(e.error(), EACCES);
    EXPECT_EQ(e.path(), path);
  }
  reader.Seek(0);
  EXPECT_EQ(reader.Read(buffer, 7), 7u);  // own lock on byte 3 is invisible
  reader.Seek(8);
  EXPECT_EQ(reader.Read(buffer, 492), 492u);  // stops before byte 500
  holder.Seek(0);
  EXPECT_THROW(holder.Read(buffer, 5), FileException);  // byte 3 is the reader's
  holder.Seek(4);
  EXPECT_EQ(holder.Read(buffer, 497), 497u);          // its own bytes 7 and 500 included
  EXPECT_THROW(reader.Write("x", 1), FileException);  // position 500
  reader.Seek(0);
  reader.Write("abc", 3);

  holder.Close();  // closing releases everything taken through the handle
  reader.Seek(0);
  EXPECT_EQ(reader.Read(buffer, 501), 501u);
  EXPECT_TRUE(reader.LockRange(7, 1));
  EXPECT_TRUE(reader.LockRange(500, 1));
}

TEST(File, TheLastUserDeletesTheFile) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  File first, second, reader;
  ASSERT_TRUE(first.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(second.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(first.LockRange(1, 1));
  first.CloseAndRemove();
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(Exists(path));
  EXPECT_TRUE(second.LockRange(1, 1));  // the close released the byte

  // A read-only handle keeps the file too, and cannot delete it itself.
  ASSERT_TRUE(reader.Open(path, File::Mode::ReadOnly));
  second.CloseAndRemove();
  EXPECT_TRUE(Exists(path));
  reader.CloseAndRemove();
  EXPECT_TRUE(Exists(path));

  ASSERT_TRUE(second.Open(path, File::Mode::ReadWrite));
  second.CloseAndRemove();
  EXPECT_FALSE(Exists(path));
  second.CloseAndRemove();  // closed: nothing happens
}

TEST(File, OpenGivesUpWhileADeleterHoldsTheFileAndThenFindsTheNewFile) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  WriteFileBytes(path, "old");
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
