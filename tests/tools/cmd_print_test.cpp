// vexafol print on the sample store, read back with pdftotext: the drawings
// of 'vexafol list' with the same options, in its order, on pages of the
// standard form's rows; the mistakes of the command line.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/pdf_text.h"
#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

// Rows of the standard form's page.
constexpr size_t kRowsPerPage = 22;

// IPAGothic draws U+FF5E and U+301C with one glyph, which the PDF maps back
// to U+301C: compare titles with that mapping.
std::string AsExtracted(std::string text) {
  for (size_t at; (at = text.find("\uFF5E")) != std::string::npos;) text.replace(at, 3, "\u301C");
  return text;
}

// The titles of 'vexafol list --json' with the options, in its order.
std::vector<std::string> ListedTitles(const std::string& store,
                                      const std::vector<std::string>& options) {
  std::vector<std::string> words = {"list", "--store", store, "--no-locks", "--json"};
  words.insert(words.end(), options.begin(), options.end());
  const ToolRun run = RunTool(words);
  EXPECT_EQ(run.exit, 0);
  std::vector<std::string> titles;
  const std::regex title("\"title\": \"([^\"]*)\"");
  for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), title);
       it != std::sregex_iterator(); ++it)
    titles.push_back(AsExtracted((*it)[1]));
  return titles;
}

class PrintToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasPoppler()) GTEST_SKIP() << "poppler-utils (pdftotext) missing";
    ASSERT_EQ(RunTool({"demo", store_}).exit, 0);
  }
  TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string pdf_ = dir_ / "list.pdf";
};

TEST_F(PrintToolTest, PrintsTheListsDrawingsInItsOrderWithItsFilter) {
  const struct {
    std::vector<std::string> options;
  } cases[] = {
      {{}},                                             // every drawing, newest first
      {{"--sort", "7", "--dir", "1", "--name", "図"}},  // by name, filtered
  };
  const std::vector<std::string> all = ListedTitles(store_, {});
  ASSERT_GT(all.size(), kRowsPerPage);  // at least two pages
  for (const auto& c : cases) {
    std::vector<std::string> words = {"print", store_, "--pdf", pdf_};
    words.insert(words.end(), c.options.begin(), c.options.end());
    const ToolRun run = RunTool(words);
    ASSERT_EQ(run.exit, 0) << run.out;
    const std::vector<std::string> titles = ListedTitles(store_, c.options);
    const std::vector<std::string> pages = PdfPages(pdf_);
    const size_t expectedPages =
        std::max<size_t>(1, (titles.size() + kRowsPerPage - 1) / kRowsPerPage);
    ASSERT_EQ(pages.size(), expectedPages) << run.out;
    // Row by row: each title on its page, below the one before it.
    size_t previous = 0;
    for (size_t i = 0; i < titles.size(); ++i) {
      const std::string& page = pages[i / kRowsPerPage];
      const size_t at = page.find(titles[i], i % kRowsPerPage == 0 ? 0 : previous + 1);
      EXPECT_NE(at, std::string::npos) << titles[i] << " row " << i;
      previous = at;
    }
    std::string text;
    for (const std::string& page : pages) text += page;
    for (const std::string& title : all) {
      bool listed = false;
      for (const std::string& kept : titles) listed |= kept.find(title) != std::string::npos;
      if (!listed) {
        EXPECT_EQ(text.find(title), std::string::npos) << title << " printed";
      }
    }
  }
}

TEST_F(PrintToolTest, MistakesAreReported) {
  const std::string badForm = dir_ / "BAD.FMT";
  WriteFileBytes(badForm, "[Form]\nPaper = A4\n[Repeat32]\nRowsPerPage = 0\n");
  const struct {
    std::vector<std::string> words;
    int exit;
  } cases[] = {
      {{"print", store_}, 2},                                    // neither --pdf nor --preview
      {{"print", dir_ / "none", "--pdf", pdf_}, 1},              // no store
      {{"print", store_, "--form", badForm, "--pdf", pdf_}, 1},  // a form that cannot be used
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunTool(c.words).exit, c.exit) << c.words.back();
    EXPECT_EQ(ReadFileBytes(pdf_), "");
  }
}

// The tool's last line on stderr (Qt may warn about its run-time folder
// before it).
std::string LastLine(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);  // npos + 1: the whole text
}

// A full disk and a form made to exhaust memory end in one line and status 1,
// within the tool's time and memory limits, and no PDF.
TEST_F(PrintToolTest, AFullDiskOrAnOversizedFormFailsInOneLine) {
  ToolSetup limited;
  limited.limited = true;
  // Under C, Qt's text for the cause stays English (ja_JP would give Qt's
  // Japanese text).
  limited.environment = {{"LC_ALL", "C.UTF-8"}};
  const ToolRun full = RunTool({"print", store_, "--pdf", "/dev/full"}, limited);
  limited.environment.clear();
  EXPECT_EQ(full.exit, 1);
  EXPECT_EQ(full.out, "");
  EXPECT_EQ(LastLine(full.err), "vexafol: /dev/full: 書き込めません: No space left on device");

  // 20,000 thin columns and 1000 rows a page, under 1 MiB.
  std::string form =
      "[Form]\nPaper = 2000x2000\nMargins = 0, 0, 0, 0\n[Repeat32]\nRowHeight = 0.5\n"
      "RowsPerPage = 1000\n";
  for (int i = 0; i < 20000; ++i) {
    form +=
        "Column" + std::to_string(i + 1) + " = 257, " + std::to_string(i % 1990) + ", 0.1, left\n";
  }
  ASSERT_LT(form.size(), size_t{1} << 20);
  const std::string thin = dir_ / "THIN.FMT";
  WriteFileBytes(thin, form);
  const ToolRun run = RunTool({"print", store_, "--form", thin, "--pdf", pdf_}, limited);
  EXPECT_EQ(run.exit, 1);
  EXPECT_EQ(LastLine(run.err),
            "vexafol: " + thin +
                ":4: [Repeat32]: 20000 列 1000 行の 1 ページには文字列と線が最大 "
                "20000000 個あり、1 ページの上限 20000 個を超えます");
  EXPECT_EQ(ReadFileBytes(pdf_), "");
}

}  // namespace
}  // namespace vexa::test
