#include <gtest/gtest.h>

#include <cstring>

#include "platform/fault_env.h"
#include "tests/store/record_bytes.h"
#include "tests/support/temp_dir.h"
#include "vexafol/fileformat.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Chunk;
using test::Field;
using test::Header;
using test::Le32;

const std::string kOpen = Header(0x10000000, 0, 0);
const std::string kClose = Header(0x20000000, 0, 0);

// What the page sheet presets before reading, with marks in the fixed blocks.
VexaFilePageInfo Preset() {
  VexaFilePageInfo info;
  info.version = 100;
  std::strcpy(info.name, "preset name");
  std::strcpy(info.subName, "preset sub");
  std::memset(info.block4, 0xB4, sizeof info.block4);
  std::memset(info.block5, 0xB5, sizeof info.block5);
  info.caption = "preset caption";
  return info;
}

// A record of a fixed-layout version, offsets as in the layout table.
std::string FixedRecord(int32_t version) {
  std::string bytes = Le32(static_cast<uint32_t>(version));  // 0
  if (version < 2) {
    bytes += Field("\x83\x79\x81\x5b\x83\x57", 128);  // 4: name "ページ"
  } else {
    bytes += Field("name2", 260);  // 4
    bytes += Field("sub2", 260);   // 264
  }
  if (version > 0) bytes += Bytes(32, '\x44');          // 132 or 524: block 4
  if (version >= 3) bytes += Bytes(76, '\x55');         // 556: block 5
  if (version >= 4) bytes += Field("cap\x82\xa0", 80);  // 632: caption "capあ"
  return bytes;
}

// Reads a record from the start of a file holding exactly bytes. One file is
// rewritten for every record, so that thousands of records cost no opens.
int Read(const std::string& bytes, VexaFilePageInfo& info) {
  static const test::TempDir dir;
  static File file;
  if (!file.IsOpen() && !file.Open(dir / "record.bin", File::Mode::ReadWrite)) return -1;
  file.SetLength(0);
  file.Seek(0);
  file.Write(bytes.data(), bytes.size());
  file.Seek(0);
  return ReadPageFileInfo(file, info);
}

TEST(PageInfoFixed, RecordSizesByVersion) {
  const struct {
    int32_t version;
    size_t size;
  } cases[] = {{-7, 132}, {0, 132}, {1, 164}, {2, 556}, {3, 632}, {4, 712}, {5, 712}, {99, 712}};
  for (const auto& c : cases) EXPECT_EQ(FixedRecord(c.version).size(), c.size) << c.version;
}

TEST(PageInfoFixed, VersionsBelowTwoHaveAShortNameAndNoSubName) {
  for (int32_t version : {-1, 0, 1}) {
    VexaFilePageInfo info = Preset();
    ASSERT_EQ(Read(FixedRecord(version), info), 1) << version;
    EXPECT_EQ(info.version, version);
    EXPECT_EQ(info.Name(), "ページ");
    EXPECT_EQ(info.subName[0], '\0');
    EXPECT_EQ(info.block4[0], version == 1 ? 0x44 : 0xB4);
    EXPECT_EQ(info.block5[0], 0xB5);
    EXPECT_EQ(info.caption, "preset caption");
  }
}

TEST(PageInfoFixed, LaterVersionsAddBlocksAndCaption) {
  VexaFilePageInfo v2 = Preset();
  ASSERT_EQ(Read(FixedRecord(2), v2), 1);
  EXPECT_STREQ(v2.name, "name2");
  EXPECT_STREQ(v2.subName, "sub2");
  EXPECT_EQ(v2.block4[31], 0x44);
  EXPECT_EQ(v2.block5[0], 0xB5);
  EXPECT_EQ(v2.caption, "preset caption");

  VexaFilePageInfo v3 = Preset();
  ASSERT_EQ(Read(FixedRecord(3), v3), 1);
  EXPECT_EQ(v3.block5[75], 0x55);
  EXPECT_EQ(v3.caption, "preset caption");

  VexaFilePageInfo v5 = Preset();
  ASSERT_EQ(Read(FixedRecord(5), v5), 1);
  EXPECT_EQ(v5.Caption(), "capあ");

  // A caption that fills all 80 bytes without a NUL is taken whole.
  std::string full = FixedRecord(4);
  std::memset(full.data() + 632, 'c', 80);
  VexaFilePageInfo v4 = Preset();
  ASSERT_EQ(Read(full, v4), 1);
  EXPECT_EQ(v4.caption, std::string(80, 'c'));
}

TEST(PageInfoFixed, EveryCutRecordFails) {
  for (int32_t version : {0, 1, 2, 3, 4}) {
    const std::string record = FixedRecord(version);
    for (size_t length = 0; length < record.size(); ++length) {
      VexaFilePageInfo info = Preset();
      ASSERT_EQ(Read(record.substr(0, length), info), 0) << version << " cut at " << length;
    }
  }
}

// The record WritePageFileInfo must produce for TaggedInfo(), built by hand.
VexaFilePageInfo TaggedInfo(bool withSubName) {
  VexaFilePageInfo info;
  std::strcpy(info.name, "plan");
  if (withSubName) std::strcpy(info.subName, "B");
  for (int i = 0; i < 32; ++i) info.block4[i] = static_cast<unsigned char>(i);
  for (int i = 0; i < 76; ++i) info.block5[i] = static_cast<unsigned char>(0xFF - i);
  info.caption = "\x90\x7d";  // "図"
  return info;
}

std::string Block(int size, int start, int step) {
  std::string out;
  for (int i = 0; i < size; ++i) out += static_cast<char>(start + step * i);
  return out;
}

TEST(PageInfoTagged, WriterProducesTheChunkLayout) {
  for (bool withSubName : {true, false}) {
    std::string expected = Le32(100) + kOpen;
    expected +=
        Header(0x10000001, 3, 1) + "\x90\x7d" + std::string(1, '\0') + Header(0x20000001, 0, 0);
    expected += Header(0x10000002, 5, 1) + "plan" + std::string(1, '\0') + Header(0x20000002, 0, 0);
    if (withSubName) {
      expected += Header(0x10000003, 2, 1) + "B" + std::string(1, '\0') + Header(0x20000003, 0, 0);
    }
    expected += Header(0x10000004, 32, 1) + Block(32, 0, 1) + Header(0x20000004, 0, 0);
    expected += Header(0x10000005, 76, 1) + Block(76, 0xFF, -1) + Header(0x20000005, 0, 0);
    expected += kClose;

    test::TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir / "pagefile.000", File::Mode::CreateTruncate));
    ASSERT_EQ(WritePageFileInfo(file, TaggedInfo(withSubName)), 1);
    EXPECT_EQ(file.Seek(0, File::current), expected.size());
    file.Close();
    EXPECT_EQ(test::ReadFileBytes(dir / "pagefile.000"), expected) << withSubName;
  }
}

TEST(PageInfoTagged, EmptyCaptionIsJustItsNul) {
  test::TempDir dir;
  File file;
  ASSERT_TRUE(file.Open(dir / "p", File::Mode::CreateTruncate));
  VexaFilePageInfo info;
  ASSERT_EQ(WritePageFileInfo(file, info), 1);
  file.Close();
  const std::string bytes = test::ReadFileBytes(dir / "p");
  EXPECT_EQ(bytes.substr(16, 25),
            Header(0x10000001, 1, 1) + std::string(1, '\0') + Header(0x20000001, 0, 0));
}

TEST(PageInfoTagged, RoundTrip) {
  test::TempDir dir;
  VexaFilePageInfo written = TaggedInfo(true);
  ASSERT_TRUE(written.SetCaption("第1図 平面図"));
  File file;
  ASSERT_TRUE(file.Open(dir / "p", File::Mode::CreateTruncate));
  ASSERT_EQ(WritePageFileInfo(file, written), 1);
  file.Seek(0);
  VexaFilePageInfo read;
  ASSERT_EQ(ReadPageFileInfo(file, read), 1);
  EXPECT_EQ(read.version, 100);
  EXPECT_STREQ(read.name, "plan");
  EXPECT_STREQ(read.subName, "B");
  EXPECT_EQ(std::memcmp(read.block4, written.block4, 32), 0);
  EXPECT_EQ(std::memcmp(read.block5, written.block5, 76), 0);
  EXPECT_EQ(read.Caption(), "第1図 平面図");
}

TEST(PageInfoTagged, AbsentChunksKeepThePreset) {
  VexaFilePageInfo info = Preset();
  ASSERT_EQ(Read(Le32(100) + kOpen + Chunk(2, std::string("only", 5)) + kClose, info), 1);
  EXPECT_STREQ(info.name, "only");
  EXPECT_STREQ(info.subName, "preset sub");
  EXPECT_EQ(info.caption, "preset caption");
  EXPECT_EQ(info.block4[0], 0xB4);

  VexaFilePageInfo higher = Preset();  // any version from 100 on is tagged
  ASSERT_EQ(Read(Le32(250) + kOpen + kClose, higher), 1);
  EXPECT_EQ(higher.version, 250);
}

TEST(PageInfoTagged, UnknownChunksAreSkippedWhole) {
  // Chunk 9 holds a payload and a nested name chunk that must not be read.
  const std::string unknown = Header(0x10000009, 4, 2) + Bytes(8, 'u') +
                              Chunk(2, std::string("nested", 7)) + Header(0x20000009, 0, 0);
  VexaFilePageInfo info = Preset();
  ASSERT_EQ(Read(Le32(100) + kOpen + unknown + Chunk(2, std::string("after", 6)) +
                     Chunk(1, std::string("cap", 4)) + kClose,
                 info),
            1);
  EXPECT_STREQ(info.name, "after");
  EXPECT_EQ(info.caption, "cap");

  // Only one of size and count zero: no payload.
  const std::string zeroCount = Header(0x10000010, 0xFFFFFFFF, 0) + Header(0x20000010, 0, 0);
  VexaFilePageInfo other = Preset();
  ASSERT_EQ(Read(Le32(100) + kOpen + zeroCount + Chunk(2, std::string("x", 2)) + kClose, other), 1);
  EXPECT_STREQ(other.name, "x");
}

TEST(PageInfoTagged, TenThousandNestedUnknownChunks) {
  constexpr int kDepth = 10000;
  std::string record = Le32(100) + kOpen;
  for (int i = 0; i < kDepth; ++i) record += Header(0x10000100 + (i % 50), 1, 3) + "abc";
  for (int i = 0; i < kDepth; ++i) record += Header(0x20000100, 0, 0);
  record += Chunk(2, std::string("deep", 5)) + kClose;
  VexaFilePageInfo info = Preset();
  ASSERT_EQ(Read(record, info), 1);
  EXPECT_STREQ(info.name, "deep");

  // One closing header short: the chunks after it count as nested, and the
  // record never ends.
  std::string unbalanced = Le32(100) + kOpen;
  for (int i = 0; i < kDepth; ++i) unbalanced += Header(0x10000100, 0, 0);
  for (int i = 1; i < kDepth; ++i) unbalanced += Header(0x20000100, 0, 0);
  unbalanced += Chunk(2, std::string("deep", 5)) + kClose;
  VexaFilePageInfo cut = Preset();
  EXPECT_EQ(Read(unbalanced, cut), 0);
  EXPECT_STREQ(cut.name, "preset name");
}

TEST(PageInfoTagged, OversizedNamesAreCutTo259Bytes) {
  for (size_t size : {size_t{300}, size_t{1024}, size_t{1025}, size_t{5000}}) {
    std::string payload(size, 'n');
    payload[0] = 'N';
    VexaFilePageInfo info = Preset();
    ASSERT_EQ(Read(Le32(100) + kOpen + Chunk(3, payload) + Chunk(4, Bytes(40, 'f')) + kClose, info),
              1)
        << size;
    EXPECT_EQ(std::string(info.subName), "N" + std::string(258, 'n'));
    EXPECT_EQ(info.block4[31], 'f');
    EXPECT_STREQ(info.name, "preset name");
  }
  // A caption is unbounded, and ends at the first NUL of its payload.
  VexaFilePageInfo info = Preset();
  ASSERT_EQ(
      Read(Le32(100) + kOpen + Chunk(1, std::string(3000, 'c') + '\0' + "rest") + kClose, info), 1);
  EXPECT_EQ(info.caption, std::string(3000, 'c'));
}

TEST(PageInfoTagged, MalformedRecordsFail) {
  const std::string name = Chunk(2, std::string("n", 2));
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no opening header", Le32(100)},
      {"wrong opening tag", Le32(100) + Header(0x10000001, 0, 0) + kClose},
      {"opening with a size", Le32(100) + Header(0x10000000, 1, 0) + kClose},
      {"no record closing header", Le32(100) + kOpen + name},
      {"closing header of another id", Le32(100) + kOpen + Header(0x10000002, 2, 1) + "n" + '\0' +
                                           Header(0x20000003, 0, 0) + kClose},
      {"closing header without the mark", Le32(100) + kOpen + Header(0x10000002, 2, 1) + "n" +
                                              '\0' + Header(0x10000002, 0, 0) + kClose},
      {"known payload of 0xFFFFFFFF",
       Le32(100) + kOpen + Header(0x10000002, 0xFFFFFFFF, 1) + kClose},
      {"caption of 0xFFFFFFFF", Le32(100) + kOpen + Header(0x10000001, 0xFFFFFFFF, 1) + kClose},
      {"block of 0xFFFFFFF0", Le32(100) + kOpen + Header(0x10000005, 0xFFFFFFF0, 7) + kClose},
      {"unknown payload beyond the end",
       Le32(100) + kOpen + Header(0x10000009, 0xFFFFFFFF, 0xFFFFFFFF) + kClose + kClose},
      {"unknown payload one byte beyond the end",
       Le32(100) + kOpen + Header(0x10000009, 25, 1) + kClose + kClose},
      {"nested payload beyond the end", Le32(100) + kOpen + Header(0x10000009, 0, 0) +
                                            Header(0x10000008, 0x10000, 0x10000) + kClose + kClose +
                                            kClose},
  };
  for (const auto& c : cases) {
    VexaFilePageInfo info = Preset();
    EXPECT_EQ(Read(c.bytes, info), 0) << c.what;
  }
  VexaFilePageInfo info = Preset();
  EXPECT_EQ(Read(Le32(100) + kOpen + Header(0x10000009, 24, 1) + Bytes(24, 'p') +
                     Header(0x20000009, 0, 0) + kClose,
                 info),
            1);
}

TEST(PageInfoTagged, FieldsReadBeforeAFailureStay) {
  VexaFilePageInfo info = Preset();
  EXPECT_EQ(
      Read(Le32(100) + kOpen + Chunk(2, std::string("kept", 5)) + Chunk(1, std::string("cap", 4)),
           info),
      0);
  EXPECT_STREQ(info.name, "kept");
  EXPECT_EQ(info.caption, "cap");
}

TEST(PageInfoTagged, EveryCutRecordFails) {
  test::TempDir dir;
  File file;
  ASSERT_TRUE(file.Open(dir / "full", File::Mode::CreateTruncate));
  ASSERT_EQ(WritePageFileInfo(file, TaggedInfo(true)), 1);
  file.Close();
  const std::string record = test::ReadFileBytes(dir / "full");
  for (size_t length = 0; length < record.size(); ++length) {
    VexaFilePageInfo info = Preset();
    ASSERT_EQ(Read(record.substr(0, length), info), 0) << "cut at " << length;
  }
  VexaFilePageInfo info = Preset();
  EXPECT_EQ(Read(record, info), 1);
}

TEST(PageInfoIo, ReadErrorsReachTheCallerAndWriteErrorsGiveZero) {
  test::TempDir dir;
  File file;
  test::OpenWith(dir, FixedRecord(5), file);
  {
    platform::FaultEnv faults;
    platform::ScopedEnv scoped(faults);
    faults.Fail(platform::Op::Read, EIO);
    faults.Fail(platform::Op::PRead, EIO);
    VexaFilePageInfo info;
    EXPECT_THROW(ReadPageFileInfo(file, info), FileException);
  }
  EXPECT_EQ(WritePageFileInfo(file, TaggedInfo(true)), 0);  // opened read-only

  File writable;
  ASSERT_TRUE(writable.Open(dir / "w", File::Mode::CreateTruncate));
  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Write, ENOSPC);
  EXPECT_EQ(WritePageFileInfo(writable, TaggedInfo(false)), 0);
}

}  // namespace
}  // namespace vexa
