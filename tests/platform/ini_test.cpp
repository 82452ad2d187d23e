#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tests/support/fault_env.h"
#include "tests/support/temp_dir.h"

namespace vexa::platform {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class Ini : public testing::Test {
 protected:
  test::TempDir dir;
  std::string file = dir / "VXWTDEF.INI";
};

TEST_F(Ini, ReadsIgnoringCaseAndWhitespace) {
  WriteFileBytes(file,
                 "; comment\n"
                 "top=before any section\r\n"
                 "  [ PC1,Taro ]  \r\n"
                 "  Exe =  cad.exe  \r\n"
                 "PATH=\"  quoted  \"\r\n"
                 "EMPTY=\r\n"
                 "exe=second\r\n"
                 "[PC1,Jiro]\n"
                 "EXE=other.exe");  // LF only, no final newline
  EXPECT_EQ(GetProfileString(file, "pc1,taro", "EXE"), "cad.exe");
  EXPECT_EQ(GetProfileString(file, "PC1,TARO", "path"), "  quoted  ");
  EXPECT_EQ(GetProfileString(file, "PC1,Jiro", "EXE"), "other.exe");
  EXPECT_EQ(GetProfileString(file, "PC2", "EXE", "def"), "def");
}

TEST_F(Ini, Cp932OnDiskAndDoubleByteAwareNames) {
  // "ソ" is 83 5C and "ア" / "ャ" are 83 41 / 83 61: their trail bytes look like
  // '\' and letters, and must neither match case-insensitively nor end a name.
  WriteFileBytes(file, "[\x83\x5C\x83\x41]\r\nKEY=\x90\x7D\x96\xCA\r\n");
  EXPECT_EQ(GetProfileString(file, "ソア", "key"), "図面");
  EXPECT_EQ(GetProfileString(file, "ソャ", "key", "none"), "none");
  ASSERT_TRUE(WriteProfileString("ソア", "名前", "〜値", file));
  EXPECT_EQ(ReadFileBytes(file),
            "[\x83\x5C\x83\x41]\r\nKEY=\x90\x7D\x96\xCA\r\n\x96\xBC\x91\x4F=\x81\x60\x92\x6C\r\n");
  // Nothing without a CP932 form is written.
  EXPECT_FALSE(WriteProfileString("ソア", "KEY", "😀", file));
}

TEST_F(Ini, WritesKeepEverythingElseInPlace) {
  WriteFileBytes(file,
                 "; settings\r\n"
                 "[A]\r\n"
                 "one=1\r\n"
                 "; note in A\r\n"
                 "\r\n"
                 "[B]\r\n"
                 "two=2\r\n");
  ASSERT_TRUE(WriteProfileString("a", "ONE", "uno", file));  // replaced in place
  ASSERT_TRUE(WriteProfileString("A", "three", "3", file));  // after A's last line
  ASSERT_TRUE(WriteProfileString("C", "four", "4", file));   // new section at the end
  EXPECT_EQ(ReadFileBytes(file),
            "; settings\r\n"
            "[A]\r\n"
            "ONE=uno\r\n"
            "; note in A\r\n"
            "three=3\r\n"
            "\r\n"
            "[B]\r\n"
            "two=2\r\n"
            "[C]\r\n"
            "four=4\r\n");
  ASSERT_TRUE(WriteProfileString("B", "TWO", nullptr, file));    // key removed
  ASSERT_TRUE(WriteProfileString("a", nullptr, nullptr, file));  // section removed
  EXPECT_EQ(ReadFileBytes(file), "; settings\r\n[B]\r\n[C]\r\nfour=4\r\n");
}

// Two sections of one name (a file edited by hand, or merged from two
// computers): reads and key writes use the first; removing the section removes
// them all, so no later one brings a cleared setting back.
TEST_F(Ini, DuplicateSectionsActAsTheFirstAndGoTogether) {
  WriteFileBytes(file,
                 "[PC,USER]\r\n"
                 "EXE=first.exe\r\n"
                 "[OTHER]\r\n"
                 "K=kept\r\n"
                 "[pc,user]\r\n"
                 "EXE=second.exe\r\n"
                 "PATH=x\r\n");
  EXPECT_EQ(GetProfileString(file, "PC,USER", "EXE"), "first.exe");
  EXPECT_EQ(GetProfileString(file, "PC,USER", "PATH", "none"), "none");
  ASSERT_TRUE(WriteProfileString("PC,USER", "PATH", "y", file));
  ASSERT_TRUE(WriteProfileString("PC,USER", "EXE", nullptr, file));
  EXPECT_EQ(ReadFileBytes(file),
            "[PC,USER]\r\nPATH=y\r\n[OTHER]\r\nK=kept\r\n"
            "[pc,user]\r\nEXE=second.exe\r\nPATH=x\r\n");
  EXPECT_EQ(GetProfileString(file, "PC,USER", "EXE", "none"), "none");
  ASSERT_TRUE(WriteProfileString("PC,USER", nullptr, nullptr, file));
  EXPECT_EQ(ReadFileBytes(file), "[OTHER]\r\nK=kept\r\n");
  EXPECT_EQ(GetProfileString(file, "PC,USER", "PATH", "gone"), "gone");

  // The input that the fuzzer found: an empty first section over a full one.
  WriteFileBytes(file, "[PC,USER]\r\n[PC,USER]\r\nPATH=x\r\n");
  ASSERT_TRUE(WriteProfileString("PC,USER", nullptr, nullptr, file));
  EXPECT_EQ(GetProfileString(file, "PC,USER", "PATH", "gone"), "gone");
  EXPECT_EQ(ReadFileBytes(file), "");
}

TEST_F(Ini, TextThatWouldNotReadBackIsRefusedAndCreatesNoFile) {
  const struct {
    const char *section, *key, *value;
  } refused[] = {
      {"A", "K", "line\nbreak"}, {"A", "K=V", "x"}, {"A]", "K", "x"}, {"A", " K", "x"},
      {"A", "K ", "x"},          {"A", "\tK", "x"}, {"A", "[K", "x"}, {"A", "[K]", nullptr},
      {" A", "K", "x"},          {"A\t", "K", "x"}, {"A ", "K", "x"},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(WriteProfileString(r.section, r.key, r.value, file))
        << "[" << r.section << "] " << r.key;
  }
  EXPECT_FALSE(WriteProfileString("A", "K", "x", dir / "no/such/dir.ini"));  // no folder made
  EXPECT_TRUE(WriteProfileString("A", nullptr, nullptr, file));  // removing nothing: no file
  struct stat st {};
  EXPECT_NE(stat(file.c_str(), &st), 0);
  // Blanks and '[' inside a name, '=' and brackets in a value are fine.
  ASSERT_TRUE(WriteProfileString("A B", "K[1] x", "a=b [c]", file));
  EXPECT_EQ(ReadFileBytes(file), "[A B]\r\nK[1] x=a=b [c]\r\n");
  EXPECT_EQ(GetProfileString(file, "a b", "k[1] X"), "a=b [c]");
}

TEST_F(Ini, OnlyRegularFilesAreReadAndNoLinkIsWrittenThrough) {
  test::TempDir outside;
  const std::string target = outside / "settings.ini";
  const std::string original = "[A]\r\nK=outside\r\n";
  WriteFileBytes(target, original);
  // A link to settings is read; a write replaces the link, never its target.
  ASSERT_EQ(symlink(target.c_str(), file.c_str()), 0);
  EXPECT_EQ(GetProfileString(file, "A", "K"), "outside");
  ASSERT_TRUE(WriteProfileString("A", "K", "inside", file));
  EXPECT_EQ(ReadFileBytes(target), original);
  EXPECT_EQ(GetProfileString(file, "A", "K"), "inside");
  // A link planted under the temporary name is removed, not written through.
  const std::string temporary = file + ".tmp" + std::to_string(getpid());
  ASSERT_EQ(symlink(target.c_str(), temporary.c_str()), 0);
  ASSERT_TRUE(WriteProfileString("A", "K", "again", file));
  EXPECT_EQ(ReadFileBytes(target), original);
  EXPECT_EQ(GetProfileString(file, "A", "K"), "again");
  // A FIFO or a folder reads as unreadable at once and is never replaced.
  const std::string fifo = dir / "fifo.ini";
  const std::string folder = dir / "folder.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  for (const std::string& path : {fifo, folder}) {
    EXPECT_EQ(GetProfileString(path, "A", "K", "default"), "default");
    EXPECT_FALSE(WriteProfileString("A", "K", "x", path));
  }
  struct stat st {};
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(Ini, FailedWriteLeavesTheOldFileIntact) {
  const std::string original = "[A]\r\nK=old\r\n\x85\x40 junk kept\r\n";
  WriteFileBytes(file, original);
  for (Op op : {Op::Open, Op::Write, Op::Sync, Op::Rename}) {
    FaultEnv faults;
    ScopedEnv scoped(faults);
    faults.Fail(op, op == Op::Write ? ENOSPC : EIO, ".tmp");
    EXPECT_FALSE(WriteProfileString("A", "K", "new", file)) << static_cast<int>(op);
    EXPECT_EQ(ReadFileBytes(file), original) << static_cast<int>(op);
    EXPECT_EQ(faults.Calls(Op::Unlink), op == Op::Open ? 0 : 1);  // temporary file removed
  }
  // No temporary file is left behind, and a later write succeeds, keeping the
  // bytes that are not CP932 text.
  ASSERT_TRUE(WriteProfileString("A", "K", "new", file));
  EXPECT_EQ(ReadFileBytes(file), "[A]\r\nK=new\r\n\x85\x40 junk kept\r\n");
  std::vector<DirEntry> entries;
  ASSERT_EQ(CurrentEnv().ListDir(dir.path(), entries), 0);
  EXPECT_EQ(entries.size(), 1u);
}

TEST_F(Ini, MalformedInputDoesNotCrash) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  junk += "\n[" + std::string(200000, '\x81') + "\n" + std::string(300000, 'k') + "=v";
  WriteFileBytes(file, junk + "\n[S]\nK=v");
  EXPECT_EQ(GetProfileString(file, "S", "K"), "v");
  // Far too large a file counts as unreadable and is left alone.
  WriteFileBytes(file, "[S]\nK=v\n" + std::string(17 << 20, ';'));
  EXPECT_EQ(GetProfileString(file, "S", "K", "d"), "d");
  EXPECT_FALSE(WriteProfileString("S", "K", "w", file));
}

}  // namespace
}  // namespace vexa::platform
