// What the library creates takes its permission classes from the folder it is
// made in, whatever the umask; what exists already keeps its mode.
#include "platform/folder_mode.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/ini.h"
#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "vexafol/file.h"

namespace vexa::platform {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// Entries of folder whose names begin with prefix.
int CountNamed(const std::string& folder, const std::string& prefix) {
  std::vector<DirEntry> entries;
  CurrentEnv().ListDir(folder, entries);
  int count = 0;
  for (const DirEntry& entry : entries) count += entry.name.rfind(prefix, 0) == 0;
  return count;
}

class FolderMode : public testing::Test {
 protected:
  // A umask that would take every bit from the group and others.
  FolderMode() : savedUmask_(::umask(077)) {}
  ~FolderMode() override { ::umask(savedUmask_); }

  // A store folder of the given mode inside the test folder.
  std::string Store(mode_t mode) {
    const std::string store = dir_ / ("store" + std::to_string(++stores_));
    ::mkdir(store.c_str(), 0700);
    ::chmod(store.c_str(), mode);
    return store;
  }

  mode_t savedUmask_;
  test::TempDir dir_;
  int stores_ = 0;
  test::TestEnviron env_;
};

TEST_F(FolderMode, StickyBitAndFolderOfAPath) {
  EXPECT_EQ(FolderModeIn(01777), 0777u);  // the sticky bit is the folder's own
  EXPECT_EQ(FolderOf("a/b//c/"), "a/b");
  EXPECT_EQ(FolderOf("/c"), "/");
  EXPECT_EQ(FolderOf("c"), ".");
}

TEST_F(FolderMode, NewLockFilesFoldersAndSettingsFollowASharedStore) {
  const std::string store = Store(02770);
  File lock;
  ASSERT_TRUE(lock.Open(store + "/CADAPP.LOC", File::Mode::ReadWrite));
  EXPECT_EQ(ModeOf(store + "/CADAPP.LOC"), 0660u);

  // Every folder on the way carries the group bits and set-group-id on.
  ASSERT_EQ(env_.CreateDir(store + "/CAD/HNY/Fol.001", 1), 1);
  EXPECT_EQ(ModeOf(store + "/CAD"), 02770u);
  EXPECT_EQ(ModeOf(store + "/CAD/HNY/Fol.001"), 02770u);
  File page;
  ASSERT_TRUE(page.Open(store + "/CAD/HNY/Fol.001/pagefile.000", File::Mode::CreateTruncate));
  EXPECT_EQ(ModeOf(store + "/CAD/HNY/Fol.001/pagefile.000"), 0660u);

  ASSERT_TRUE(WriteProfileString("PC,USER", "PATH", "x", store + "/VXWTDEF.INI"));
  EXPECT_EQ(ModeOf(store + "/VXWTDEF.INI"), 0660u);
  EXPECT_EQ(CountNamed(store, "."), 0);  // no draft left behind
}

TEST_F(FolderMode, CreatingOpensTakeOnlyRegularFilesAndFollowNoLink) {
  const std::string store = Store(02770);
  const std::string target = store + "/target";
  ASSERT_EQ(::symlink(target.c_str(), (store + "/CADAPP.LOC").c_str()), 0);  // dangling
  ASSERT_EQ(::mkfifo((store + "/FOL001.LOC").c_str(), 0660), 0);
  File lock;
  EXPECT_FALSE(lock.Open(store + "/CADAPP.LOC", File::Mode::ReadWrite));
  EXPECT_EQ(lock.LastError(), ELOOP);
  EXPECT_EQ(ModeOf(target), 0u);  // not made through the link
  EXPECT_EQ(OpenCreatingInFolderMode(store + "/FOL001.LOC", O_RDWR | O_CREAT), -ENXIO);
  EXPECT_EQ(OpenCreatingInFolderMode(store, O_RDONLY), -EISDIR);
  EXPECT_EQ(CountNamed(store, ".vexafol-new"), 0);
}

TEST_F(FolderMode, PrivateAndPublicFoldersAndExistingFilesKeepTheirOwnModes) {
  const std::string store = Store(0750);
  File lock;
  ASSERT_TRUE(lock.Open(store + "/FOL001.LOC", File::Mode::ReadWrite));
  EXPECT_EQ(ModeOf(store + "/FOL001.LOC"), 0640u);
  // A public folder such as /tmp is nobody's store: the umask decides there.
  const std::string shared = Store(01777);
  ASSERT_EQ(env_.CreateDir(shared + "/store", 1), 1);
  EXPECT_EQ(ModeOf(shared + "/store"), 0700u);

  const std::string chosen = store + "/CADAPP.LOC";
  test::WriteFileBytes(chosen, "");
  ::chmod(chosen.c_str(), 0600);
  File existing;
  ASSERT_TRUE(existing.Open(chosen, File::Mode::CreateTruncate));
  EXPECT_EQ(ModeOf(chosen), 0600u);

  ASSERT_TRUE(WriteProfileString("PC,USER", "PATH", "x", store + "/VXWTDEF.INI"));
  ::chmod((store + "/VXWTDEF.INI").c_str(), 0604);
  ASSERT_TRUE(WriteProfileString("PC,USER", "PATH", "y", store + "/VXWTDEF.INI"));
  EXPECT_EQ(ModeOf(store + "/VXWTDEF.INI"), 0604u);  // a replaced file keeps its mode
}

TEST_F(FolderMode, FoldersAppearWithTheirModeAndExistingOnesAreReported) {
  const std::string store = Store(02770);
  EXPECT_EQ(MakeFolderInFolderMode(store + "/Fol.001"), 0);
  EXPECT_EQ(MakeFolderInFolderMode(store + "/Fol.001"), -EEXIST);  // claims a name once
  test::WriteFileBytes(store + "/Fol.002/INDEX.VXF", "");
  EXPECT_EQ(MakeFolderInFolderMode(store + "/Fol.002"), -EEXIST);
  EXPECT_EQ(CountNamed(store, "."), 0);  // no draft left behind

  // A rename into place that fails leaves neither the folder nor its draft.
  // (Where the file system cannot rename without replacing, Env::RenameAt
  // looks first and then renames.)
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::RenameAt, EIO, "Fol.003", 0, 1);
  EXPECT_EQ(MakeFolderInFolderMode(store + "/Fol.003"), -EIO);
  EXPECT_EQ(ModeOf(store + "/Fol.003"), 0u);
  EXPECT_EQ(CountNamed(store, "."), 0);
  EXPECT_EQ(MakeFolderInFolderMode(store + "/Fol.003"), 0);
  EXPECT_EQ(ModeOf(store + "/Fol.003"), 02770u);
}

TEST_F(FolderMode, AFileSystemThatRefusesModesStillGetsItsFilesAndFolders) {
  const std::string store = Store(02770);
  FaultEnv faults;
  ScopedEnv scoped(faults);
  faults.Fail(Op::Fchmod, EPERM);
  File lock;
  EXPECT_TRUE(lock.Open(store + "/CADAPP.LOC", File::Mode::ReadWrite));
  EXPECT_EQ(ModeOf(store + "/CADAPP.LOC"), 0600u);  // the umask's choice, never more
  EXPECT_EQ(env_.CreateDir(store + "/Fol.001", 1), 1);
  EXPECT_EQ(faults.Calls(Op::Fchmod), 2);

  // Without hard links (vfat) a new file is made in place.
  faults.Clear();
  faults.Fail(Op::Rename, EPERM);
  File page;
  EXPECT_TRUE(page.Open(store + "/FOL001.LOC", File::Mode::ReadWrite));
  EXPECT_EQ(ModeOf(store + "/FOL001.LOC"), 0660u);
  EXPECT_EQ(CountNamed(store, "."), 0);
}

}  // namespace
}  // namespace vexa::platform
