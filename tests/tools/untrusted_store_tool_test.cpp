// The vexafol tool over a store that other members damaged on purpose or by
// accident: links under lock file names, FIFOs, sparse 4 GiB page files,
// control characters in titles and names that are not UTF-8. Each run must
// leave every file but the lock files alone, end within seconds in a small
// address space, and print no raw control character.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "tools/output_text.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

using ::testing::HasSubstr;
using tool::JsonString;
using tool::Printable;

// Runs the tool with at most 5 seconds and 512 MiB of address space (a reader
// that allocated what a record claims would fail); out holds its standard
// output, then its standard error.
ToolRun Limited(const std::vector<std::string>& words, ToolSetup setup = {}) {
  setup.limited = true;
  ToolRun run = RunTool(words, setup);
  run.out += run.err;
  return run;
}

// No byte of a C0 control other than the line end, no DEL, no C1 control.
bool HasRawControl(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
      return true;
  }
  return false;
}

class UntrustedStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Limited({"demo", store_}).exit, 0);
    const FolderEnvironObj env(store_);
    folder_ = GetSenyouPath(env, 1);
  }
  std::string Drawing(int n) const {
    char name[16];
    std::snprintf(name, sizeof name, "/Fol.%03d", n);
    return folder_ + name;
  }
  std::vector<std::string> With(const std::string& command,
                                std::vector<std::string> more = {}) const {
    more.insert(more.begin(), {command, "--store", store_});
    return more;
  }

  TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string folder_;
};

TEST_F(UntrustedStore, UnusableLockFilesAreNamedAndWhatTheyPointAtStaysAsItIs) {
  const std::string index = ReadFileBytes(Drawing(6) + "/INDEX.VXF");
  for (const Hostile kind : kHostiles) {
    SCOPED_TRACE(NameOf(kind));
    const Victims victims(Drawing(7) + "/victim.txt");
    for (const char* name : {"/CADAPP.LOC", "/FOL002.LOC"}) victims.Plant(kind, folder_ + name);
    for (const std::vector<std::string>& words :
         {With("list"), With("status", {Drawing(2)}), With("lock", {Drawing(2)}),
          With("lock", {Drawing(2), "--page", "1"}), With("info", {Drawing(2)})}) {
      SCOPED_TRACE(testing::PrintToString(words));
      const ToolRun run = Limited(words);
      EXPECT_NE(run.exit, 128 + SIGALRM);  // no time-out
      if (words[0] != "info") {
        EXPECT_THAT(run.out, HasSubstr("CADAPP.LOC: cannot open the lock file"));
      }
    }
    EXPECT_TRUE(victims.Untouched());
    EXPECT_EQ(ReadFileBytes(Drawing(6) + "/INDEX.VXF"), index);
    for (const char* name : {"/CADAPP.LOC", "/FOL002.LOC"}) {
      EXPECT_TRUE(Victims::StillPlanted(kind, folder_ + name)) << name;
      Victims::Remove(kind, folder_ + name);
    }
  }
}

// A user who may read the store but not write it: every lock file is unusable
// to them, every drawing shows as in use, and the tool says why.
TEST_F(UntrustedStore, AStoreTheUserMayNotWriteIsNamedAsTheReason) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as another user";
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);  // readable, writable by root only
  // The store took the private mode of the test folder it was made in: open it for reading.
  ASSERT_EQ(std::system(("chmod -R o+rX " + store_).c_str()), 0);
  constexpr uid_t kUnusedId = 54321;
  const ToolSetup reader{.becomeUser = [] {
    return setgroups(0, nullptr) == 0 && setgid(kUnusedId) == 0 && setuid(kUnusedId) == 0;
  }};
  const std::string problem = "CADAPP.LOC: cannot open the lock file: ";
  const ToolRun lock = Limited(With("lock", {Drawing(2)}), reader);
  EXPECT_EQ(lock.exit, 1);
  EXPECT_THAT(lock.out, HasSubstr(problem));
  const ToolRun list = Limited(With("list"), reader);
  EXPECT_EQ(list.exit, 0);
  EXPECT_THAT(list.out, HasSubstr(problem));
}

TEST_F(UntrustedStore, FifosAndSparseFilesAnswerAtOnce) {
  ASSERT_EQ(unlink((Drawing(2) + "/INDEX.VXF").c_str()), 0);
  ASSERT_EQ(mkfifo((Drawing(2) + "/INDEX.VXF").c_str(), 0666), 0);
  const ToolRun info = Limited(With("info", {Drawing(2)}));
  EXPECT_EQ(info.exit, 1);
  EXPECT_THAT(info.out, HasSubstr("INDEX.VXF: cannot open the index file"));
  EXPECT_EQ(Limited(With("status", {Drawing(2)})).exit, 0);
  EXPECT_EQ(Limited(With("list")).exit, 0);

  // A caption, a name and an unknown chunk claiming 0xFFFFFFF0 bytes at the
  // head of sparse 4 GiB page files.
  for (const char id : {'\x01', '\x02', '\x09'}) {
    const std::string page = Drawing(3) + "/pagefile.000";
    WriteFileBytes(page, std::string("\x64\0\0\0\0\0\0\x10\0\0\0\0\0\0\0\0", 16) + id +
                             std::string("\0\0\x10\xf0\xff\xff\xff\x01\0\0\0", 11));
    ASSERT_EQ(truncate(page.c_str(), (4LL << 30) + 4096), 0);
    const ToolRun sparse = Limited(With("info", {Drawing(3)}));
    EXPECT_EQ(sparse.exit, 0) << sparse.out;
    EXPECT_THAT(sparse.out, HasSubstr("record is cut short or malformed"));
  }
}

TEST_F(UntrustedStore, TextOutputEscapesControlsAndJsonStaysUtf8) {
  // A title with an OSC window title, BEL, a screen clear, CR LF and DEL.
  std::string header = ReadFileBytes(Drawing(4) + "/INDEX.VXF");
  const std::string title = "\x1b]0;pwned\x07\x1b[2J\r\nrow\x7f";
  header.replace(4, title.size() + 1, title + '\0');
  WriteFileBytes(Drawing(4) + "/INDEX.VXF", header);
  const std::string odd = folder_ +
                          "/Fol.\xff\xfe"
                          "1";
  ASSERT_EQ(rename(Drawing(5).c_str(), odd.c_str()), 0);

  const std::pair<std::vector<std::string>, std::string> runs[] = {
      {With("list"), ""},
      {With("info", {Drawing(4)}), "\\x1b]0;pwned\\x07\\x1b[2J\\x0d\\x0arow\\x7f"},
      {With("status", {Drawing(4)}), ""},
      {With("info", {odd}), "Fol.\\xff\\xfe1"},
      {With("list", {"--backups", Drawing(4)}), ""}};
  for (const auto& [words, escaped] : runs) {
    SCOPED_TRACE(testing::PrintToString(words));
    const ToolRun run = Limited(words);
    EXPECT_FALSE(HasRawControl(run.out));
    EXPECT_THAT(run.out, HasSubstr(escaped));
  }

  // Valid UTF-8 from every command's JSON: with the controls JSON keeps taken
  // out, nothing is escaped.
  const std::string pwned = "\\u001b]0;pwned\\u0007\\u001b[2J\\u000d\\u000arow\x7f";
  const std::pair<std::vector<std::string>, std::string> jsonRuns[] = {
      {With("list", {"--json", "--no-locks"}), "Fol.\\udcff\\udcfe1"},
      {With("list", {"--json", "--no-locks"}), pwned},
      {With("info", {Drawing(4), "--json"}), pwned},
      {With("info", {odd, "--json"}), "Fol.\\udcff\\udcfe1"},
      {With("status", {odd, "--json"}), "Fol.\\udcff\\udcfe1"},
      {With("who", {odd, "--json"}), "Fol.\\udcff\\udcfe1"}};
  for (const auto& [words, escaped] : jsonRuns) {
    SCOPED_TRACE(testing::PrintToString(words));
    const ToolRun json = Limited(words);
    std::string text;
    for (const char c : json.out)
      if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) text += c;
    EXPECT_EQ(Printable(text), text);
    EXPECT_THAT(json.out, HasSubstr(escaped));
  }
}

TEST(ToolOutputText, PrintableEscapesControlsAndInvalidUtf8Only) {
  EXPECT_EQ(Printable("図面 A\\b ¥"), "図面 A\\b ¥");
  EXPECT_EQ(Printable("\x1b[31m\t\x7f"), "\\x1b[31m\\x09\\x7f");
  EXPECT_EQ(Printable("\xc2\x85\xc2\x9f\xc2\xa0"), "\\u0085\\u009f\xc2\xa0");  // C1, then NBSP
  EXPECT_EQ(Printable(std::string("a\0b", 3)), "a\\x00b");
  // Stray trail byte, overlong "/", surrogate, beyond U+10FFFF, cut short.
  EXPECT_EQ(Printable("\x80|\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80|\xe5\x9b"),
            "\\x80|\\xc0\\xaf|\\xed\\xa0\\x80|\\xf4\\x90\\x80\\x80|\\xe5\\x9b");
}

TEST(ToolOutputText, JsonStringsAreValidUtf8WithInvalidBytesAsLowSurrogates) {
  EXPECT_EQ(JsonString("a\"b\\c\n\x7f図"), "\"a\\\"b\\\\c\\u000a\x7f図\"");
  EXPECT_EQ(JsonString("Fol.\xff\xfe"
                       "1\xe5\x9b"),
            "\"Fol.\\udcff\\udcfe1\\udce5\\udc9b\"");
}

}  // namespace
}  // namespace vexa::test
