// The store's write API against what a hostile member of the group can do:
// links at any component, a folder swapped for a link between two calls (made
// deterministic through the fault seam), entries swapped for others. Nothing
// outside the store is ever changed, entered or removed.
#include "platform/store_fs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "tests/support/fault_env.h"
#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace vexa::platform {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

using test::IsLink;
using test::ModeOf;
// A store folder of mode 2770 and, outside it, a victim's private folder
// with a private file.
class StoreFs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkdir(store_.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(store_.c_str(), 02770), 0);
    WriteFileBytes(outside_ + "/Fol.001/INDEX.VXF", "private");
    ASSERT_EQ(::chmod((outside_ + "/Fol.001/INDEX.VXF").c_str(), 0600), 0);
    ASSERT_EQ(::chmod((outside_ + "/Fol.001").c_str(), 0700), 0);
  }
  bool OutsideUntouched() const {
    return ReadFileBytes(outside_ + "/Fol.001/INDEX.VXF") == "private" &&
           ModeOf(outside_ + "/Fol.001/INDEX.VXF") == 0600 && ModeOf(outside_ + "/Fol.001") == 0700;
  }
  void Link(const std::string& target, const std::string& at) const {
    ASSERT_EQ(::symlink(target.c_str(), at.c_str()), 0) << at;
  }

  test::TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string outside_ = dir_ / "victim";
};

TEST_F(StoreFs, FoldersOpenOnlyBelowTheStoreAndNeverThroughALink) {
  WriteFileBytes(store_ + "/a/b/file", "x");
  Link(outside_, store_ + "/x");
  Link(store_ + "/a", store_ + "/alias");
  StoreDir dir;
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/a/b", dir), 0);
  EXPECT_EQ(dir.path(), store_ + "/a/b");
  EXPECT_EQ(StoreDir::OpenBelow(store_ + "/", store_ + "/a/", dir), 0);
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/x", dir), -ELOOP);
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/x/Fol.001", dir), -ELOOP);
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/alias/b", dir), -ELOOP);
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/a/../../victim", dir), -EXDEV);
  EXPECT_EQ(StoreDir::OpenBelow(store_, outside_, dir), -EXDEV);
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "x", dir), -EXDEV);  // a sibling, not below
  EXPECT_EQ(StoreDir::OpenBelow(store_, store_ + "/a/b/file", dir), -ENOTDIR);
  EXPECT_EQ(LastSystemError(), ENOTDIR);
}

TEST_F(StoreFs, WhatIsMadeTakesTheStoreModesAndNothingIsReplaced) {
  const mode_t saved = ::umask(077);
  StoreDir store;
  ASSERT_EQ(StoreDir::OpenBelow(store_, store_, store), 0);
  EXPECT_EQ(store.MakeDir("Fol.001"), 0);
  EXPECT_EQ(ModeOf(store_ + "/Fol.001"), 02770u);
  EXPECT_EQ(store.MakeDir("Fol.001"), -EEXIST);
  StoreDir drawing;
  ASSERT_EQ(store.OpenDir("Fol.001", drawing), 0);
  const int fd = drawing.CreateFile("INDEX.VXF");
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(ModeOf(store_ + "/Fol.001/INDEX.VXF"), 0660u);
  ::umask(saved);
  // A link planted under the name is neither followed nor replaced.
  Link(outside_ + "/Fol.001/INDEX.VXF", store_ + "/Fol.001/pagefile.000");
  EXPECT_EQ(drawing.CreateFile("pagefile.000"), -EEXIST);
  EXPECT_EQ(drawing.OpenFile("pagefile.000"), -ELOOP);
  ASSERT_EQ(::mkfifo((store_ + "/Fol.001/page000.bmp").c_str(), 0666), 0);
  EXPECT_EQ(drawing.OpenFile("page000.bmp"), -ENXIO);  // and it did not block
  EXPECT_EQ(drawing.Rename("INDEX.VXF", drawing, "pagefile.000"), -EEXIST);
  EXPECT_TRUE(IsLink(store_ + "/Fol.001/pagefile.000"));
  EXPECT_TRUE(OutsideUntouched());
}

TEST_F(StoreFs, RemovingATreeRemovesLinksNeverWhatTheyPointAt) {
  WriteFileBytes(store_ + "/REMOVING.TMP/Fol.001/INDEX.VXF", "x");
  Link(outside_, store_ + "/REMOVING.TMP/Fol.001/BKUP");
  Link(outside_ + "/Fol.001/INDEX.VXF", store_ + "/REMOVING.TMP/file");
  StoreDir store;
  ASSERT_EQ(StoreDir::OpenBelow(store_, store_, store), 0);
  EXPECT_EQ(store.RemoveTree("REMOVING.TMP"), 0);
  EXPECT_FALSE(IsLink(store_ + "/REMOVING.TMP") || ModeOf(store_ + "/REMOVING.TMP"));
  EXPECT_TRUE(OutsideUntouched());
  // A name that is itself a link: the link goes.
  Link(outside_, store_ + "/RESTORE.001");
  EXPECT_EQ(store.RemoveTree("RESTORE.001"), 0);
  EXPECT_FALSE(IsLink(store_ + "/RESTORE.001"));
  EXPECT_TRUE(OutsideUntouched());
  EXPECT_EQ(RemoveTreeAt(store_ + "/missing"), -ENOENT);
}

// The race of a removal by path: the folder listed is swapped for a link to
// the victim's folder before the removal enters it.
TEST_F(StoreFs, AFolderSwappedForALinkDuringARemovalIsNotEntered) {
  const std::string sub = store_ + "/REMOVING.TMP/Fol.001";
  WriteFileBytes(sub + "/INDEX.VXF", "x");
  FaultEnv faults;
  faults.Before(Op::OpenBeneath, "REMOVING.TMP/Fol.001", 0, [&] {
    ASSERT_EQ(::rename(sub.c_str(), (store_ + "/moved").c_str()), 0);
    Link(outside_ + "/Fol.001", sub);
  });
  ScopedEnv scoped(faults);
  EXPECT_EQ(RemoveTreeAt(store_ + "/REMOVING.TMP"), 0);
  EXPECT_TRUE(OutsideUntouched());
  EXPECT_EQ(ModeOf(store_ + "/REMOVING.TMP"), 0u);
}

TEST_F(StoreFs, ModesChangeOnlyOnTheEntryReadAndNeverThroughALink) {
  WriteFileBytes(store_ + "/Fol.001/INDEX.VXF", "x");
  ASSERT_EQ(::chmod((store_ + "/Fol.001/INDEX.VXF").c_str(), 0600), 0);
  struct stat read {};
  ASSERT_EQ(::lstat((store_ + "/Fol.001/INDEX.VXF").c_str(), &read), 0);
  StoreDir store;
  ASSERT_EQ(StoreDir::OpenBelow(store_, store_, store), 0);
  EXPECT_EQ(store.ChangeMode("Fol.001/INDEX.VXF", read, 0660, static_cast<gid_t>(-1)), 0);
  EXPECT_EQ(ModeOf(store_ + "/Fol.001/INDEX.VXF"), 0660u);

  // Swapped for another file since it was read, or for a link to the victim.
  ASSERT_EQ(::rename((store_ + "/Fol.001/INDEX.VXF").c_str(), (store_ + "/old").c_str()), 0);
  WriteFileBytes(store_ + "/Fol.001/INDEX.VXF", "y");
  EXPECT_EQ(store.ChangeMode("Fol.001/INDEX.VXF", read, 0666, static_cast<gid_t>(-1)), -ESTALE);
  ASSERT_EQ(::unlink((store_ + "/Fol.001/INDEX.VXF").c_str()), 0);
  Link(outside_ + "/Fol.001/INDEX.VXF", store_ + "/Fol.001/INDEX.VXF");
  struct stat victim {};
  ASSERT_EQ(::stat((outside_ + "/Fol.001/INDEX.VXF").c_str(), &victim), 0);
  EXPECT_EQ(store.ChangeMode("Fol.001/INDEX.VXF", victim, 0666, 0), -ELOOP);
  ASSERT_EQ(::rename((store_ + "/Fol.001").c_str(), (store_ + "/Fol.002").c_str()), 0);
  Link(outside_ + "/Fol.001", store_ + "/Fol.001");
  EXPECT_EQ(store.ChangeMode("Fol.001/INDEX.VXF", victim, 0666, 0), -ELOOP);
  EXPECT_TRUE(OutsideUntouched());
}

}  // namespace
}  // namespace vexa::platform
