#include <gtest/gtest.h>

#include <cstring>

#include "tests/store/record_bytes.h"
#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"
#include "vexafol/fileformat.h"

namespace vexa {
namespace {

using test::Field;
using test::Le32;

// The header of the layout table, written out offset by offset.
std::string HandBuiltHeader() {
  std::string bytes = Le32(2);  // 0 version
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

TEST(HeadFile, WritesAndReadsTheLayoutTable) {
  test::TempDir dir;
  VexaFileHeader written;
  written.version = 2;
  ASSERT_TRUE(written.SetTitle("図面A"));
  written.pageCount = 3;
  ASSERT_TRUE(written.SetMemo("memo あ"));
  ASSERT_TRUE(written.SetCreator("山田"));
  ASSERT_TRUE(written.SetUpdater("ｱｲｳ"));
  written.createTime = {0x11223344, 0x01D9ABCD};
  written.updateTime = {0x55667788, 0x01DA0000};
  File out;
  ASSERT_TRUE(out.Open(dir / "INDEX.VXF", File::Mode::CreateTruncate));
  ASSERT_EQ(WriteHeadFile(out, written), 1);
  EXPECT_EQ(out.Seek(0, File::current), 824u);
  out.Close();
  ASSERT_EQ(test::ReadFileBytes(dir / "INDEX.VXF"), HandBuiltHeader());

  File in;
  test::OpenWith(dir, HandBuiltHeader(), in);
  VexaFileHeader read;
  ASSERT_EQ(ReadHeadFile(in, read), 1);
  EXPECT_EQ(std::memcmp(&read, &written, sizeof read), 0);
}

TEST(HeadFile, FileLengthDecidesHowMuchIsRead) {
  test::TempDir dir;
  const std::string full = HandBuiltHeader();
  VexaFileHeader preset;
  std::memset(static_cast<void*>(&preset), 0x5A, sizeof preset);
  for (size_t length : {size_t{0}, size_t{100}, size_t{823}, size_t{2000}}) {
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

TEST(HeaderText, CutAtACharacterBoundaryToFitWithItsNul) {
  VexaFileHeader header;
  std::string sixtyFour;
  for (int i = 0; i < 64; ++i) sixtyFour += "あ";  // 128 bytes of CP932
  ASSERT_TRUE(header.SetTitle(sixtyFour));
  EXPECT_EQ(header.Title(), sixtyFour.substr(0, 63 * 3));
  ASSERT_TRUE(header.SetTitle("a" + sixtyFour));
  EXPECT_EQ(std::strlen(header.title), 127u);  // 'a' and 63 double-byte characters
  ASSERT_TRUE(header.SetTitle("short"));       // the rest of the field is cleared
  for (size_t i = 5; i < sizeof header.title; ++i) ASSERT_EQ(header.title[i], '\0') << i;
  EXPECT_FALSE(header.SetTitle("絵文字😀"));  // unmappable: the field stays
  EXPECT_EQ(header.Title(), "short");

  // A field without any NUL ends at its size; a cut lead byte decodes to U+FFFD.
  std::memset(header.updater, 'x', sizeof header.updater);
  header.updater[79] = '\x81';
  EXPECT_EQ(header.Updater(), std::string(79, 'x') + "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vexa
