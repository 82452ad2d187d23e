// Damaged and unusual stores: the list skips what it must and never fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "tests/support/fault_env.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"

namespace vexa {
namespace {

using test::DrawingSpec;
using test::StoreFixture;

std::string Numbered(const std::string& folder, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "/Fol.%03d", n);
  return folder + name;
}

TEST(FolderListBadInput, IndexFilesOfAnyLengthGiveRecordsFromWhatTheyHold) {
  StoreFixture store;
  DrawingSpec spec;
  spec.title = "題名";
  spec.pages = 7;
  VexaFileHeader written = test::MakeHeader(spec);
  written.version = 9;
  std::string full = test::HeaderBytes(written);
  full.resize(2000, 'x');
  const int sizes[] = {0, 1, 100, 823, 824, 825, 2000};
  for (int i = 0; i < 7; ++i)
    test::WriteFileBytes(Numbered(store.AppFolder(0x1), i + 1) + "/INDEX.VXF",
                         full.substr(0, sizes[i]));
  VexaFolderList list(store.env());
  list.Load(0x1, 1);
  ASSERT_EQ(list.GetFolderNum(), 7);
  for (int i = 0; i < 7; ++i) {
    const VexaFileHeader& header = list.GetFolderMember(i)->header;
    const int size = sizes[list.GetFolderMember(i)->GetFolderNo(store.env())];
    SCOPED_TRACE(size);
    EXPECT_EQ(header.version, size >= 1 ? 9 : 2);  // read over the preset 2
    EXPECT_EQ(header.Title(), size >= 100 ? "題名" : "");
    EXPECT_EQ(header.pageCount, size >= 136 ? 7 : 0);
  }
}

TEST(FolderListBadInput, FoldersWithoutAReadableIndexFileAreSkipped) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  StoreFixture::WriteDrawing(Numbered(app, 1));
  test::WriteFileBytes(Numbered(app, 2) + "/pagefile.000", "no index");
  test::WriteFileBytes(Numbered(app, 3) + "/INDEX.VXF/x", "a folder named like the index");
  test::WriteFileBytes(Numbered(app, 4) + "/x", "");
  ASSERT_EQ(mkfifo((Numbered(app, 4) + "/INDEX.VXF").c_str(), 0666), 0);  // must not hang
  // A FIFO that a writer has filled with a whole header is no index file either.
  test::WriteFileBytes(Numbered(app, 9) + "/x", "");
  ASSERT_EQ(mkfifo((Numbered(app, 9) + "/INDEX.VXF").c_str(), 0666), 0);
  const int writer = open((Numbered(app, 9) + "/INDEX.VXF").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const std::string header(sizeof(VexaFileHeader), '\x02');
  ASSERT_EQ(write(writer, header.data(), header.size()), static_cast<ssize_t>(header.size()));
  test::WriteFileBytes(Numbered(app, 5), "a file named like a drawing folder");
  StoreFixture::WriteDrawing(Numbered(app, 6));
  StoreFixture::WriteDrawing(Numbered(app, 7));
  test::WriteFileBytes(Numbered(app, 8) + "/INDEX.VXF", std::string(100, 'x'));  // short

  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Open, EACCES, "Fol.006/INDEX.VXF");
  faults.Fail(platform::Op::PRead, EIO, "Fol.007/INDEX.VXF");
  faults.Fail(platform::Op::Fstat, EIO, "Fol.008/INDEX.VXF");
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  ASSERT_EQ(list.GetFolderNum(), 1);
  EXPECT_EQ(list.GetFolderMember(0)->path, Numbered(app, 1));
  close(writer);

  faults.Fail(platform::Op::ListDir, EIO);
  list.Load(-1, 0);
  EXPECT_EQ(list.GetFolderNum(), 0);
  EXPECT_EQ(list.CountCadFile(0x1), 0);
}

TEST(FolderListBadInput, LinkedDrawingFoldersAreReadButLinkedIndexFilesAreNot) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  StoreFixture::WriteDrawing(Numbered(app, 1));
  ASSERT_EQ(symlink(Numbered(app, 1).c_str(), Numbered(app, 2).c_str()), 0);
  ASSERT_EQ(mkdir(Numbered(app, 3).c_str(), 0777), 0);
  ASSERT_EQ(
      symlink((Numbered(app, 1) + "/INDEX.VXF").c_str(), (Numbered(app, 3) + "/INDEX.VXF").c_str()),
      0);
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  ASSERT_EQ(list.GetFolderNum(), 2);
  EXPECT_EQ(list.GetFolderMember(0)->path.substr(app.size()), "/Fol.001");
  EXPECT_EQ(list.GetFolderMember(1)->path.substr(app.size()), "/Fol.002");
}

TEST(FolderListBadInput, NamesAreMatchedWithoutRegardToCase) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  for (const char* name : {"Fol", "Fol.x1", "FOL.1000", "Fol.07", "FOLX.001"})
    StoreFixture::WriteDrawing(app + "/" + name);
  test::WriteFileBytes(app + "/FOL.ab", "a file passing the name filter: no record");
  const std::string lower = StoreFixture::WriteDrawing(app + "/fol.007");
  test::WriteFileBytes(app + "/FOL.008/index.vxf", test::HeaderBytes(test::MakeHeader({})));
  test::WriteFileBytes(app + "/Fol.009/Index.Vxf", test::HeaderBytes(test::MakeHeader({})));
  test::WriteFileBytes(app + "/Fol.010/INDEX.VXF.old", "not the index");

  platform::FaultEnv counting;
  platform::ScopedEnv scoped(counting);
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  ASSERT_EQ(list.GetFolderNum(), 3);
  EXPECT_EQ(list.GetFolderMember(0)->path, lower);
  EXPECT_EQ(list.GetFolderMember(1)->path, app + "/FOL.008");
  EXPECT_EQ(list.GetFolderMember(2)->path, app + "/Fol.009");
  // The application folder once, and once each folder whose index name differs.
  EXPECT_EQ(counting.Calls(platform::Op::ListDir), 1 + 3);
  // Counting takes every folder with an index file, whatever its name.
  EXPECT_EQ(list.CountCadFile(0x1), 8);
}

TEST(FolderListBadInput, ApplicationFolderCopiedInAnotherCase) {
  StoreFixture store;
  const std::string copied = store.env().GetDataPath() + "/work.001/Site.001/cad/hny/fol.001";
  StoreFixture::WriteDrawing(copied);
  VexaFolderList list(store.env());
  list.Load(0x1, 0);
  ASSERT_EQ(list.GetFolderNum(), 1);
  EXPECT_EQ(list.GetFolderMember(0)->path, copied);
}

TEST(FolderListBadInput, OutOfMemoryDropsTheRecordOrEndsTheScanButNeverThrows) {
  StoreFixture store;
  const std::string app = store.AppFolder(0x1);
  StoreFixture::WriteDrawing(Numbered(app, 1));
  // An index file in another case is looked up in its folder's listing.
  test::WriteFileBytes(Numbered(app, 2) + "/index.vxf", test::HeaderBytes(test::MakeHeader({})));
  StoreFixture::WriteDrawing(Numbered(app, 3));
  const auto outOfMemory = [] { throw std::bad_alloc(); };

  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Before(platform::Op::ListDir, "Fol.002", 0, outOfMemory);
  VexaFolderList list(store.env());
  list.SetSortType(kSortFolderNo, 1);
  ASSERT_NO_THROW(list.Load(0x1, 0));
  ASSERT_EQ(list.GetFolderNum(), 2);
  EXPECT_EQ(list.GetSortedFolderMember(0)->path, Numbered(app, 1));
  EXPECT_EQ(list.GetSortedFolderMember(1)->path, Numbered(app, 3));

  // Out of memory while the application folder is listed: an empty list.
  faults.Clear();
  faults.Before(platform::Op::ListDir, app, 0, outOfMemory);
  ASSERT_NO_THROW(list.Reload());
  EXPECT_EQ(list.GetFolderNum(), 0);
  EXPECT_EQ(list.GetSortedFolderMember(0), nullptr);
  faults.Clear();
  list.Reload();
  EXPECT_EQ(list.GetFolderNum(), 3);
}

}  // namespace
}  // namespace vexa
