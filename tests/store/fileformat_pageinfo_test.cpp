#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>

#include "tests/store/record_bytes.h"
#include "tests/support/fault_env.h"
#include "vexafol/fileformat.h"

namespace vexa {
namespace {

using test::Chunk;
using test::Field;
using test::Header;
using test::Le32;

const std::string kOpen = Header(0x10000000, 0, 0);
const std::string kClose = Header(0x20000000, 0, 0);
const std::string kTagged = Le32(100) + kOpen;

// What the page sheet presets before reading, with marks in the fixed blocks.
VexaFilePageInfo Preset() {
  VexaFilePageInfo info;
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
    bytes += Field("name2", 260) + Field("sub2", 260);  // 4, 264
  }
  if (version > 0) bytes += std::string(32, '\x44');    // 132 or 524: block 4
  if (version >= 3) bytes += std::string(76, '\x55');   // 556: block 5
  if (version >= 4) bytes += Field("cap\x82\xa0", 80);  // 632: caption "capあ"
  return bytes;
}

// Reads a record from the start of a file holding exactly bytes, into a preset
// sheet. One file is rewritten for every record, so that many records cost no opens.
int Read(const std::string& bytes, VexaFilePageInfo& info) {
  static const test::TempDir dir;
  static File file;
  if (!file.IsOpen() && !file.Open(dir / "record.bin", File::Mode::ReadWrite)) return -1;
  file.SetLength(0);
  file.Seek(0);
  file.Write(bytes.data(), bytes.size());
  file.Seek(0);
  info = Preset();
  return ReadPageFileInfo(file, info);
}

TEST(PageInfoFixed, EachVersionReadsItsOwnFields) {
  const struct {
    int32_t version;
    const char* name;
    const char* subName;
    unsigned char block4, block5;
    const char* caption;
  } cases[] = {
      {0, "ページ", "", 0xB4, 0xB5, "preset caption"},
      {1, "ページ", "", 0x44, 0xB5, "preset caption"},
      {3, "name2", "sub2", 0x44, 0x55, "preset caption"},
      {5, "name2", "sub2", 0x44, 0x55, "capあ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    VexaFilePageInfo info;
    ASSERT_EQ(Read(FixedRecord(c.version), info), 1);
    EXPECT_EQ(info.version, c.version);
    EXPECT_EQ(info.Name(), c.name);
    EXPECT_STREQ(info.subName, c.subName);
    EXPECT_EQ(info.block4[31], c.block4);
    EXPECT_EQ(info.block5[75], c.block5);
    EXPECT_EQ(info.Caption(), c.caption);
  }
  // A caption that fills all 80 bytes without a NUL is taken whole; names
  // of a full 260 bytes end with a NUL as in the tagged layout.
  std::string full = FixedRecord(4);
  std::memset(full.data() + 632, 'c', 80);
  std::memset(full.data() + 4, 'N', 520);
  VexaFilePageInfo info;
  ASSERT_EQ(Read(full, info), 1);
  EXPECT_EQ(info.caption, std::string(80, 'c'));
  EXPECT_EQ(std::string(info.name), std::string(259, 'N'));
  EXPECT_EQ(std::string(info.subName), std::string(259, 'N'));
}

// A sheet with every field set; with an empty caption and no sub name when bare.
VexaFilePageInfo TaggedInfo(bool bare) {
  VexaFilePageInfo info;
  std::strcpy(info.name, "plan");
  if (!bare) std::strcpy(info.subName, "B");
  for (int i = 0; i < 32; ++i) info.block4[i] = static_cast<unsigned char>(i);
  for (int i = 0; i < 76; ++i) info.block5[i] = static_cast<unsigned char>(0xFF - i);
  if (!bare) info.caption = "\x90\x7d";  // "図"
  return info;
}

std::string Written(const VexaFilePageInfo& info) {
  test::TempDir dir;
  File file;
  if (!file.Open(dir / "pagefile.000", File::Mode::CreateTruncate)) return "cannot open";
  if (WritePageFileInfo(file, info) != 1) return "write failed";
  file.Close();
  return test::ReadFileBytes(dir / "pagefile.000");
}

TEST(PageInfoTagged, WriterLayoutReadsBackAndEveryCutRecordFails) {
  const VexaFilePageInfo written = TaggedInfo(false);
  const std::string blocks =
      Chunk(4, std::string(reinterpret_cast<const char*>(written.block4), 32)) +
      Chunk(5, std::string(reinterpret_cast<const char*>(written.block5), 76)) + kClose;
  const std::string name = Chunk(2, std::string("plan", 5));
  const std::string record = Written(written);
  EXPECT_EQ(record, kTagged + Chunk(1, std::string("\x90\x7d", 3)) + name +
                        Chunk(3, std::string("B", 2)) + blocks);
  EXPECT_EQ(Written(TaggedInfo(true)), kTagged + Chunk(1, std::string(1, '\0')) + name + blocks);
  VexaFilePageInfo read;
  ASSERT_EQ(Read(record, read), 1);
  EXPECT_EQ(read.version, 100);
  EXPECT_STREQ(read.subName, "B");
  EXPECT_EQ(std::memcmp(read.block5, written.block5, 76), 0);
  EXPECT_EQ(read.Caption(), "図");
  for (const std::string& full : {record, FixedRecord(1), FixedRecord(4)}) {
    for (size_t length = 0; length < full.size(); ++length)
      ASSERT_EQ(Read(full.substr(0, length), read), 0) << "cut at " << length;
  }
}

TEST(PageInfoTagged, AbsentAndUnknownChunks) {
  VexaFilePageInfo info;  // absent chunks keep the preset; any version from 100 on is tagged
  ASSERT_EQ(Read(Le32(250) + kOpen + Chunk(2, std::string("only", 5)) + kClose, info), 1);
  EXPECT_EQ(info.version, 250);
  EXPECT_STREQ(info.name, "only");
  EXPECT_EQ(info.caption, "preset caption");

  // Chunk 9 holds a payload and a nested name chunk that must not be read; a
  // chunk with only one of size and count zero has no payload.
  const std::string unknown = Header(0x10000009, 4, 2) + std::string(8, 'u') +
                              Chunk(2, std::string("nested", 7)) + Header(0x20000009, 0, 0) +
                              Header(0x10000010, 0xFFFFFFFF, 0) + Header(0x20000010, 0, 0);
  ASSERT_EQ(Read(kTagged + unknown + Chunk(2, std::string("after", 6)) +
                     Chunk(1, std::string("cap", 4)) + kClose,
                 info),
            1);
  EXPECT_STREQ(info.name, "after");
  EXPECT_EQ(info.caption, "cap");

  // Oversized names are cut to 259 bytes; captions are unbounded up to the first NUL.
  std::string payload(1025, 'n');
  payload[0] = 'N';
  ASSERT_EQ(Read(kTagged + Chunk(3, payload) + Chunk(4, std::string(40, 'f')) +
                     Chunk(1, std::string(3000, 'c') + '\0' + "rest") + kClose,
                 info),
            1);
  EXPECT_EQ(std::string(info.subName), "N" + std::string(258, 'n'));
  EXPECT_EQ(info.block4[31], 'f');
  EXPECT_EQ(info.caption, std::string(3000, 'c'));

  // Fields read before a failure stay.
  EXPECT_EQ(Read(kTagged + Chunk(2, std::string("kept", 5)), info), 0);
  EXPECT_STREQ(info.name, "kept");
}

TEST(PageInfoTagged, TenThousandNestedUnknownChunks) {
  constexpr int kDepth = 10000;
  std::string opened = kTagged;
  for (int i = 0; i < kDepth; ++i) opened += Header(0x10000100 + (i % 50), 1, 3) + "abc";
  std::string closed;
  for (int i = 1; i < kDepth; ++i) closed += Header(0x20000100, 0, 0);
  const std::string end = Chunk(2, std::string("deep", 5)) + kClose;
  VexaFilePageInfo info;
  ASSERT_EQ(Read(opened + closed + Header(0x20000100, 0, 0) + end, info), 1);
  EXPECT_STREQ(info.name, "deep");
  // One closing header short: the rest counts as nested and the record never ends.
  EXPECT_EQ(Read(opened + closed + end, info), 0);
  EXPECT_STREQ(info.name, "preset name");
}

// A chunk that claims 0xFFFFFFF0 bytes in a sparse file of 4 GiB is read in
// bounded pieces: what is kept is read, the rest skipped, and the memory used
// follows what is kept.
TEST(PageInfoTagged, SparseOversizedChunksCostNoMemory) {
  const test::TempDir dir;
  constexpr uint64_t kSparseLength = (uint64_t{4} << 30) + 4096;
  for (const uint32_t id : {1u, 2u, 3u, 4u, 5u, 9u}) {
    SCOPED_TRACE(id);
    File file;
    ASSERT_TRUE(file.Open(dir / "sparse.bin", File::Mode::CreateTruncate));
    const std::string head = kTagged + Header(0x10000000 | id, 0xFFFFFFF0, 1) + "x";
    file.Write(head.data(), head.size());
    ASSERT_TRUE(file.SetLength(kSparseLength));
    file.Seek(0);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    VexaFilePageInfo info = Preset();
    EXPECT_EQ(ReadPageFileInfo(file, info), 0);  // no closing header after the payload
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024);  // KiB
    EXPECT_LE(file.Seek(0, File::current), kSparseLength);
    EXPECT_EQ(info.caption, id == 1 ? "x" : "preset caption");  // up to its first NUL
    EXPECT_EQ(std::string(info.name), id == 2 ? "x" : "preset name");
  }
}

TEST(PageInfoTagged, MalformedRecordsFail) {
  const std::string name = Header(0x10000002, 2, 1) + "n" + '\0';
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no opening header", Le32(100)},
      {"wrong opening tag", Le32(100) + Header(0x10000001, 0, 0) + kClose},
      {"no record closing header", kTagged + name + Header(0x20000002, 0, 0)},
      {"closing header of another id", kTagged + name + Header(0x20000003, 0, 0) + kClose},
      {"known payload of 0xFFFFFFFF", kTagged + Header(0x10000002, 0xFFFFFFFF, 1) + kClose},
      {"block of 0xFFFFFFF0", kTagged + Header(0x10000005, 0xFFFFFFF0, 7) + kClose},
      {"unknown payload beyond the end",
       kTagged + Header(0x10000009, 0xFFFFFFFF, 0xFFFFFFFF) + kClose + kClose},
      {"unknown payload one byte beyond the end",
       kTagged + Header(0x10000009, 25, 1) + kClose + kClose},
      {"nested payload beyond the end", kTagged + Header(0x10000009, 0, 0) +
                                            Header(0x10000008, 0x10000, 0x10000) + kClose + kClose +
                                            kClose},
  };
  VexaFilePageInfo info;
  for (const auto& c : cases) EXPECT_EQ(Read(c.bytes, info), 0) << c.what;
  // The payload that ends exactly at the closing headers.
  EXPECT_EQ(Read(kTagged + Header(0x10000009, 24, 1) + std::string(24, 'p') +
                     Header(0x20000009, 0, 0) + kClose,
                 info),
            1);
}

TEST(StoreRecordIo, ReadErrorsReachTheCallerAndWriteErrorsGiveZero) {
  test::TempDir dir;
  File readOnly;
  test::OpenWith(dir, FixedRecord(5), readOnly);
  VexaFileHeader header;
  VexaFilePageInfo info;
  File writable;
  ASSERT_TRUE(writable.Open(dir / "w", File::Mode::CreateTruncate));

  platform::FaultEnv faults;
  platform::ScopedEnv scoped(faults);
  faults.Fail(platform::Op::Read, EIO);
  faults.Fail(platform::Op::PRead, EIO);
  faults.Fail(platform::Op::Write, ENOSPC);
  EXPECT_THROW(ReadHeadFile(readOnly, header), FileException);
  EXPECT_THROW(ReadPageFileInfo(readOnly, info), FileException);
  EXPECT_EQ(WriteHeadFile(writable, header), 0);
  EXPECT_EQ(WritePageFileInfo(writable, TaggedInfo(false)), 0);
}

}  // namespace
}  // namespace vexa
