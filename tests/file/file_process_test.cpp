// vexa::File locks between processes: a lock of another process refuses the
// byte and hides it from reads; the end of the holder, even by SIGKILL,
// releases everything; the last process to close a file deletes it.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/file/child_process.h"
#include "tests/support/temp_dir.h"
#include "vexafol/file.h"

namespace vexa {
namespace {

using test::ChildProcess;
using test::Signal;
using test::TempDir;

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool ReadThrows(File& file, uint64_t offset, size_t count) {
  char buffer[1000];
  file.Seek(static_cast<int64_t>(offset));
  try {
    file.Read(buffer, count);
    return false;
  } catch (const FileException&) {
    return true;
  }
}

TEST(FileProcesses, AnotherProcessesLockRefusesTheByteAndHidesItFromReads) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  Signal ready, done;
  ChildProcess holder([&] {
    done.CloseGiving();
    File file;
    if (!file.Open(path, File::Mode::ReadWrite) || !file.SetLength(1000)) return 1;
    if (!file.LockRange(5, 1)) return 2;
    if (ReadThrows(file, 0, 1000)) return 3;  // its own lock does not hide the byte
    ready.Give();
    done.Take();
    return 0;
  });
  ready.CloseGiving();
  ASSERT_TRUE(ready.Take());
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_FALSE(file.LockRange(5, 1));
  EXPECT_FALSE(file.LockRange(0, 10));
  EXPECT_TRUE(file.LockRange(6, 1));
  EXPECT_TRUE(ReadThrows(file, 0, 10));
  EXPECT_TRUE(ReadThrows(file, 5, 1));
  EXPECT_FALSE(ReadThrows(file, 0, 5));
  EXPECT_FALSE(ReadThrows(file, 6, 994));
  done.Give();
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_TRUE(file.LockRange(5, 1));
  EXPECT_FALSE(ReadThrows(file, 0, 1000));
}

TEST(FileProcesses, ThisProcessesLockIsSeenByAnotherProcess) {
  TempDir dir;
  const std::string path = dir / "FOL001.LOC";
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(file.SetLength(501));
  ASSERT_TRUE(file.LockRange(499, 1));
  ChildProcess prober([&] {
    File other;
    if (!other.Open(path, File::Mode::ReadWrite)) return 1;
    if (other.LockRange(499, 1)) return 2;
    if (!ReadThrows(other, 0, 500)) return 3;
    if (ReadThrows(other, 0, 499)) return 4;
    if (!other.LockRange(500, 1)) return 5;
    return 0;
  });
  EXPECT_EQ(prober.Wait(), 0);
  EXPECT_TRUE(file.LockRange(500, 1));  // the child's lock went with it
}

TEST(FileProcesses, AKilledHolderLeavesAFileThatHoldsNothing) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  Signal ready;
  ChildProcess holder([&] {
    File file;
    if (!file.Open(path, File::Mode::ReadWrite) || !file.SetLength(1000)) return 1;
    if (!file.LockRange(9, 1) || !file.LockRange(999, 1)) return 2;
    ready.Give();
    for (;;) pause();
  });
  ready.CloseGiving();
  ASSERT_TRUE(ready.Take());
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  EXPECT_FALSE(file.LockRange(9, 1));
  holder.Kill();
  EXPECT_EQ(holder.Wait(), 128 + SIGKILL);
  EXPECT_TRUE(file.LockRange(9, 1));
  EXPECT_TRUE(file.LockRange(999, 1));
  EXPECT_EQ(file.GetLength(), 1000u);
  file.CloseAndRemove();  // the dead holder's handle no longer counts as a user
  EXPECT_FALSE(Exists(path));
}

TEST(FileProcesses, TheLastProcessToCloseDeletesTheFile) {
  TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  Signal opened, removedByParent;
  ChildProcess child([&] {
    removedByParent.CloseGiving();
    File file;
    if (!file.Open(path, File::Mode::ReadWrite)) return 1;
    opened.Give();
    if (!removedByParent.Take()) return 2;
    if (!file.LockRange(1, 1)) return 3;  // the parent's close released byte 1
    file.CloseAndRemove();
    return Exists(path) ? 4 : 0;
  });
  opened.CloseGiving();
  ASSERT_TRUE(opened.Take());
  File file;
  ASSERT_TRUE(file.Open(path, File::Mode::ReadWrite));
  ASSERT_TRUE(file.LockRange(1, 1));
  file.CloseAndRemove();
  EXPECT_TRUE(Exists(path));
  removedByParent.Give();
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_FALSE(Exists(path));
}

}  // namespace
}  // namespace vexa
