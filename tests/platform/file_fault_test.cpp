// vexa::File when single system calls fail: the open reports the error and
// leaves nothing open, NFS-style errors retry the open or mark the handle bad.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "vexafol/file.h"

namespace vexa {
namespace {

using platform::FaultEnv;
using platform::Op;
using platform::ScopedEnv;
using test::TempDir;

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

class FileFaults : public testing::Test {
 protected:
  TempDir dir_;
  std::string path_ = dir_ / "CADAPP.LOC";
  // The first open on a mount reads the mount table, and the first open of a missing
  // file also creates it; do both before counting calls.
  bool mountChecked_ = File().Open(path_, File::Mode::ReadWrite);
  FaultEnv faults_;
  ScopedEnv scoped_{faults_};
};

TEST_F(FileFaults, EachFailingStepOfOpenFailsTheOpen) {
  for (Op op : {Op::Open, Op::Lock, Op::Fstat, Op::Stat}) {
    faults_.Clear();
    faults_.Fail(op, EIO, "CADAPP.LOC", 0, 1);
    File file;
    EXPECT_FALSE(file.Open(path_, File::Mode::ReadWrite)) << static_cast<int>(op);
    EXPECT_EQ(file.LastError(), EIO);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(faults_.Calls(Op::Open), 1);                        // no retry for a plain I/O error
    EXPECT_EQ(faults_.Calls(Op::Close), op == Op::Open ? 0 : 1);  // no descriptor leaks
  }
}

TEST_F(FileFaults, StaleHandlesOnOpenAreRetriedBoundedly) {
  faults_.Fail(Op::Open, ESTALE, "CADAPP.LOC", 0, 2);
  faults_.Fail(Op::Fstat, ESTALE, "CADAPP.LOC", 0, 1);
  File file;
  EXPECT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  EXPECT_EQ(faults_.Calls(Op::Open), 4);

  faults_.Clear();
  faults_.Fail(Op::Open, ESTALE, "CADAPP.LOC");
  File never;
  EXPECT_FALSE(never.Open(path_, File::Mode::ReadWrite));
  EXPECT_EQ(never.LastError(), ESTALE);
  EXPECT_GT(faults_.Calls(Op::Open), 2);
}

TEST_F(FileFaults, AnIoErrorOfALockOrReadMakesTheHandleBad) {
  File file;
  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  ASSERT_TRUE(file.SetLength(10));
  FileStatus status;
  faults_.Fail(Op::Lock, EIO, "CADAPP.LOC", 0, 1);
  EXPECT_FALSE(file.LockRange(1, 1));
  EXPECT_EQ(file.LastError(), EIO);
  EXPECT_FALSE(file.GetStatus(status));
  EXPECT_TRUE(file.IsOpen());  // its owner closes and reopens

  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  faults_.Fail(Op::Read, EIO, "CADAPP.LOC", 0, 1);
  char buffer[10];
  EXPECT_THROW(file.Read(buffer, 10), FileException);
  EXPECT_FALSE(file.GetStatus(status));

  // A refused lock is no I/O error: the handle stays good.
  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  faults_.Fail(Op::Lock, EAGAIN, "CADAPP.LOC", 0, 1);
  EXPECT_FALSE(file.LockRange(1, 1));
  EXPECT_TRUE(file.GetStatus(status));
  EXPECT_TRUE(file.LockRange(1, 1));
}

TEST_F(FileFaults, CloseAndRemoveKeepsTheFileWhenItCannotProveItIsTheLastUser) {
  for (Op op : {Op::Lock, Op::Fstat, Op::Stat}) {
    File file;
    ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
    faults_.Fail(op, EIO, "CADAPP.LOC", 0, 1);
    file.CloseAndRemove();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(Exists(path_)) << static_cast<int>(op);
  }
  // Without lock support files open and work, but are never deleted.
  faults_.Fail(Op::Lock, ENOLCK, "CADAPP.LOC");
  File file;
  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  EXPECT_FALSE(file.LockRange(1, 1));
  file.CloseAndRemove();
  EXPECT_TRUE(Exists(path_));
  faults_.Clear();
  faults_.Fail(Op::Unlink, EIO, "CADAPP.LOC", 0, 1);
  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  file.CloseAndRemove();  // the failure stays inside
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(file.Open(path_, File::Mode::ReadWrite));
  file.CloseAndRemove();
  EXPECT_FALSE(Exists(path_));
}

}  // namespace
}  // namespace vexa
