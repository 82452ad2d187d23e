// Deterministic mutation fuzzing of the two readers: valid records are mutated
// with a fixed seed and read back, some at the head of sparse 4 GiB files with
// a size field claiming nearly 4 GiB. Every answer must be 0 or 1, the reader
// must stay inside the file and keep no more than the record holds, and
// nothing may crash or hang (the sanitizer build runs this too).
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/store/record_bytes.h"
#include "vexafol/fileformat.h"

namespace vexa {
namespace {

using test::Chunk;
using test::Field;
using test::Header;
using test::Le32;

constexpr int kRoundsPerSeed = 1500;
constexpr uint64_t kSparseLength = (uint64_t{4} << 30) + 4096;

std::vector<std::string> Seeds() {
  const std::string tagged = Le32(100) + Header(0x10000000, 0, 0) + Chunk(1, std::string("c", 2)) +
                             Header(0x10000009, 2, 2) + "abcd" + Chunk(7, "xyz") +
                             Header(0x20000009, 0, 0) + Chunk(2, Field("name", 300)) +
                             Chunk(3, std::string("s", 2)) + Chunk(4, std::string(32, 4)) +
                             Chunk(5, std::string(76, 5)) + Header(0x20000000, 0, 0);
  const std::string fixed5 = Le32(5) + Field("n", 260) + Field("s", 260) + std::string(32, 4) +
                             std::string(76, 5) + Field("caption", 80);
  const std::string fixed1 = Le32(1) + Field("n", 128) + std::string(32, 4);
  return {tagged, fixed5, fixed1, std::string(824, 'h')};
}

// One mutation of bytes, chosen by rng.
void Mutate(std::mt19937& rng, std::string& bytes) {
  auto pick = [&](size_t n) {
    return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
  };
  static const uint32_t kWords[] = {0,          1,          0xFFFFFFFF, 0x80000000,
                                    0x10000000, 0x10000002, 0x10000009, 0x20000000,
                                    0x20000009, 100,        1025};
  switch (pick(4)) {
    case 0:  // flip a bit
      if (!bytes.empty()) bytes[pick(bytes.size())] ^= static_cast<char>(1 << pick(8));
      break;
    case 1:  // overwrite a word with an interesting value
      if (bytes.size() >= 4) {
        const uint32_t word = kWords[pick(std::size(kWords))];
        std::memcpy(bytes.data() + pick(bytes.size() - 3), &word, 4);
      }
      break;
    case 2:  // cut
      bytes.resize(pick(bytes.size() + 1));
      break;
    default:  // repeat a slice
      if (!bytes.empty()) {
        const size_t from = pick(bytes.size());
        const size_t length = pick(std::min<size_t>(bytes.size() - from, 64) + 1);
        bytes.insert(pick(bytes.size() + 1), bytes.substr(from, length));
      }
      break;
  }
}

TEST(FormatFuzz, MutatedRecordsAreAnsweredWithZeroOrOne) {
  test::TempDir dir;
  File file;
  ASSERT_TRUE(file.Open(dir / "fuzz.bin", File::Mode::ReadWrite));
  std::mt19937 rng(20240110);
  int successes = 0;
  for (const std::string& seed : Seeds()) {
    for (int round = 0; round < kRoundsPerSeed; ++round) {
      std::string bytes = seed;
      const int mutations = 1 + static_cast<int>(rng() % 4);
      for (int m = 0; m < mutations; ++m) Mutate(rng, bytes);
      // Every eighth record claims 0xFFFFFFF0 bytes somewhere and lies at the
      // head of a sparse file of 4 GiB, so that the claim fits in the file.
      const bool sparse = round % 8 == 7 && bytes.size() >= 4;
      if (sparse) std::memcpy(bytes.data() + rng() % (bytes.size() - 3), "\xF0\xFF\xFF\xFF", 4);
      const uint64_t length = sparse ? kSparseLength : bytes.size();
      ASSERT_TRUE(file.SetLength(0));
      file.Seek(0);
      file.Write(bytes.data(), bytes.size());
      ASSERT_TRUE(file.SetLength(length));
      file.Seek(0);
      VexaFilePageInfo info;
      const int pageResult = ReadPageFileInfo(file, info);
      ASSERT_TRUE(pageResult == 0 || pageResult == 1);
      ASSERT_LE(file.Seek(0, File::current), length);
      ASSERT_LE(info.caption.size(), bytes.size());  // memory follows what is kept
      if (info.version >= 2) {                       // names always end within their field
        ASSERT_EQ(info.name[259], '\0');
        ASSERT_EQ(info.subName[259], '\0');
      }
      successes += pageResult;

      file.Seek(0);
      VexaFileHeader header;
      ASSERT_EQ(ReadHeadFile(file, header), 1);
      ASSERT_EQ(file.Seek(0, File::current), std::min<uint64_t>(length, 824));
    }
  }
  // The mutations leave many records intact enough to be read.
  EXPECT_GT(successes, 0);
}

}  // namespace
}  // namespace vexa
