#include <gtest/gtest.h>

#include <cstring>

#include "platform/fault_env.h"
#include "tests/store/record_bytes.h"
#include "tests/support/temp_dir.h"
#include "vexafol/fileformat.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Field;
using test::Le32;

// The header of the layout table, written out offset by offset.
std::string HandBuiltHeader() {
  std::string bytes;
  bytes += Le32(2);  // 0 version
  bytes += Field(
      "\x90\x7d\x96\xca"
      "A",
      128);                                      // 4 title "図面A"
  bytes += Le32(3);                              // 132 page count
  bytes += Field("memo \x82\xa0", 512);          // 136 memo "memo あ"
  bytes += Field("\x8e\x52\x93\x63", 80);        // 648 creator "山田"
  bytes += Field("\xb1\xb2\xb3", 80);            // 728 updater "ｱｲｳ"
  bytes += Le32(0x11223344) + Le32(0x01D9ABCD);  // 808 creation time
  bytes += Le32(0x55667788) + Le32(0x01DA0000);  // 816 update time
  return bytes;
}

VexaFileHeader PresetHeader() {
  VexaFileHeader header;
  std::memset(static_cast<void*>(&header), 0x5A, sizeof header);
  return header;
}

TEST(HeadFile, ReadsTheLayoutTable) {
  test::TempDir dir;
  const std::string bytes = HandBuiltHeader();
  ASSERT_EQ(bytes.size(), 824u);
  File file;
  test::OpenWith(dir, bytes, file);
  VexaFileHeader header = PresetHeader();
  ASSERT_EQ(ReadHeadFile(file, header), 1);
  EXPECT_EQ(header.version, 2);
  EXPECT_EQ(header.Title(), "図面A");
  EXPECT_EQ(header.pageCount, 3);
  EXPECT_EQ(header.Memo(), "memo あ");
  EXPECT_EQ(header.Creator(), "山田");
  EXPECT_EQ(header.Updater(), "ｱｲｳ");
  EXPECT_EQ(header.createTime.dwLowDateTime, 0x11223344u);
  EXPECT_EQ(header.createTime.dwHighDateTime, 0x01D9ABCDu);
  EXPECT_EQ(header.updateTime.dwLowDateTime, 0x55667788u);
  EXPECT_EQ(header.updateTime.dwHighDateTime, 0x01DA0000u);
}

TEST(HeadFile, WritesTheLayoutTable) {
  test::TempDir dir;
  VexaFileHeader header;
  header.version = 2;
  ASSERT_TRUE(header.SetTitle("図面A"));
  header.pageCount = 3;
  ASSERT_TRUE(header.SetMemo("memo あ"));
  ASSERT_TRUE(header.SetCreator("山田"));
  ASSERT_TRUE(header.SetUpdater("ｱｲｳ"));
  header.createTime = {0x11223344, 0x01D9ABCD};
  header.updateTime = {0x55667788, 0x01DA0000};
  File file;
  ASSERT_TRUE(file.Open(dir / "INDEX.VXF", File::Mode::CreateTruncate));
  ASSERT_EQ(WriteHeadFile(file, header), 1);
  EXPECT_EQ(file.Seek(0, File::current), 824u);
  file.Close();
  EXPECT_EQ(test::ReadFileBytes(dir / "INDEX.VXF"), HandBuiltHeader());
}

TEST(HeadFile, FileLengthDecidesHowMuchIsRead) {
  test::TempDir dir;
  const std::string full = HandBuiltHeader();
  const VexaFileHeader preset = PresetHeader();
  for (size_t length : {size_t{0}, size_t{100}, size_t{823}, size_t{824}, size_t{2000}}) {
    std::string bytes = full.substr(0, std::min(length, full.size()));
    bytes.resize(length, '\x77');
    File file;
    test::OpenWith(dir, bytes, file);
    VexaFileHeader header = preset;
    ASSERT_EQ(ReadHeadFile(file, header), 1) << length;
    const size_t read = std::min<size_t>(length, 824);
    EXPECT_EQ(file.Seek(0, File::current), read);
    EXPECT_EQ(std::memcmp(&header, full.data(), read), 0) << length;
    const char* rest = reinterpret_cast<const char*>(&header) + read;
    EXPECT_EQ(std::memcmp(rest, reinterpret_cast<const char*>(&preset) + read, 824 - read), 0);
  }
}

TEST(HeadFile, ReadErrorReachesTheCaller) {
  test::TempDir dir;
  File file;
  test::OpenWith(dir, HandBuiltHeader(), file);
  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Read, EIO);
  faults.Fail(platform::Op::PRead, EIO);
  VexaFileHeader header;
  EXPECT_THROW(ReadHeadFile(file, header), FileException);
}

TEST(HeadFile, FailedWriteGivesZero) {
  test::TempDir dir;
  File file;
  test::OpenWith(dir, "", file);  // read-only: every write fails
  VexaFileHeader header;
  EXPECT_EQ(WriteHeadFile(file, header), 0);

  File writable;
  ASSERT_TRUE(writable.Open(dir / "INDEX.VXF", File::Mode::CreateTruncate));
  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Write, ENOSPC);
  EXPECT_EQ(WriteHeadFile(writable, header), 0);
}

TEST(HeaderText, CutAtACharacterBoundaryToFitWithItsNul) {
  VexaFileHeader header;
  std::string sixtyFour;
  for (int i = 0; i < 64; ++i) sixtyFour += "あ";  // 128 bytes of CP932
  ASSERT_TRUE(header.SetTitle(sixtyFour));
  EXPECT_EQ(std::strlen(header.title), 126u);
  EXPECT_EQ(header.Title(), sixtyFour.substr(0, 63 * 3));

  ASSERT_TRUE(header.SetTitle("a" + sixtyFour));
  EXPECT_EQ(std::strlen(header.title), 127u);  // 'a' and 63 double-byte characters
  EXPECT_EQ(header.title[127], '\0');

  ASSERT_TRUE(header.SetTitle("short"));  // the rest of the field is cleared
  for (size_t i = 5; i < sizeof header.title; ++i) ASSERT_EQ(header.title[i], '\0') << i;

  ASSERT_TRUE(header.SetCreator(std::string(200, 'x')));
  EXPECT_EQ(std::strlen(header.creator), 79u);
}

TEST(HeaderText, UnmappableTextLeavesTheFieldAlone) {
  VexaFileHeader header;
  ASSERT_TRUE(header.SetTitle("図面"));
  EXPECT_FALSE(header.SetTitle("絵文字😀"));
  EXPECT_EQ(header.Title(), "図面");
}

TEST(HeaderText, Cp932ExtensionsAndKana) {
  VexaFileHeader header;
  // Windows best-fit and the NEC / IBM extension rows.
  ASSERT_TRUE(header.SetMemo("ｱ①ⅰ髙〜−"));
  EXPECT_EQ(std::string(header.memo), "\xb1\x87\x40\xfa\x40\xfb\xfc\x81\x60\x81\x7c");

  // NEC-selected IBM extensions decode to the same characters as the IBM rows.
  std::memcpy(header.title, "\xee\xef\xee\xe0\x87\x94", 7);
  EXPECT_EQ(header.Title(), "ⅰ髙∑");

  // Invalid pairs and a lead byte cut by the field end decode to U+FFFD.
  std::memcpy(header.creator,
              "A\x81\x20"
              "B",
              5);
  EXPECT_NE(header.Creator().find("\xEF\xBF\xBD"), std::string::npos);
  EXPECT_EQ(header.Creator().front(), 'A');
  EXPECT_EQ(header.Creator().back(), 'B');
  std::memset(header.updater, 'x', sizeof header.updater);
  header.updater[79] = '\x81';  // no NUL in the field at all
  const std::string updater = header.Updater();
  EXPECT_EQ(updater.substr(0, 79), std::string(79, 'x'));
  EXPECT_EQ(updater.substr(79), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vexa
