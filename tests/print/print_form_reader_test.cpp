// The form reader: a good form read back, every kind of bad form named by
// file and line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "vexafol/print_form.h"

namespace vexa {
namespace {

// Line numbers matter: the cases below name them.
const std::string kGoodForm =
    "[Form]\n"                                              // 1
    "Title = 一覧\n"                                        // 2
    "Paper = A4\n"                                          // 3
    "Orientation = Landscape\n"                             // 4
    "Margins = 10, 10, 10, 10\n"                            // 5
    "[Header]\n"                                            // 6
    "Title = 0, 0, 277, 10, center, 16\n"                   // 7
    "page = 0, 184, 277, 6, CENTER, 9\n"                    // 8
    "[repeat32]\n"                                          // 9
    "Top = 20\n"                                            // 10
    "HeadingHeight = 7\n"                                   // 11
    "RowHeight = 7\n"                                       // 12
    "RowsPerPage = 3\n"                                     // 13
    "Column1 = 256, 0, 20, right, 9, cut, \"No., 番号\"\n"  // 14
    "Column2 = 0x101, 20, 60, left, , shrink\n";            // 15

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(PrintFormReader, ReadsEveryPartOfAGoodForm) {
  PrintForm form;
  std::string error = "stale";
  ASSERT_TRUE(ParsePrintForm(kGoodForm, "good.FMT", form, error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(form.title, "一覧");
  EXPECT_EQ(form.paperName, "A4");
  EXPECT_TRUE(form.landscape);
  ASSERT_EQ(form.header.size(), 2u);
  EXPECT_EQ(form.header[1].kind, PrintItemKind::PageNumber);
  EXPECT_EQ(form.header[1].align, PrintAlign::Center);
  ASSERT_EQ(form.bands.size(), 1u);
  const PrintFormBand& band = form.bands[0];
  EXPECT_EQ(band.repeatKind, 32);
  EXPECT_EQ(band.rowsPerPage, 3);
  ASSERT_EQ(band.columns.size(), 2u);
  EXPECT_EQ(band.columns[0].heading, "No., 番号");
  EXPECT_EQ(band.columns[0].align, PrintAlign::Right);
  EXPECT_EQ(band.columns[1].fieldCode, 0x101);
  EXPECT_EQ(band.columns[1].fontSize, 9);  // the band's size when the column leaves it out
  EXPECT_EQ(band.columns[1].fit, PrintFit::Shrink);
  EXPECT_EQ(band.columns[1].line, 15);
  EXPECT_EQ(form.FindBand(33), nullptr);
}

TEST(PrintFormReader, BadFormsNameFileAndLine) {
  struct Case {
    const char* what;
    std::string text;
    std::string expected;  // the start of the error after "bad.FMT"
  };
  const std::vector<Case> cases = {
      {"missing [Form]", kGoodForm.substr(kGoodForm.find("[Header]")),
       ": the section [Form] is missing"},
      {"missing repeat section", kGoodForm.substr(0, kGoodForm.find("[repeat32]")),
       ": no repeat section"},
      {"unknown section", Replace(kGoodForm, "[Header]", "[Heading]"), ":6: unknown section"},
      {"repeated section", kGoodForm + "[Repeat 32]\nRowHeight = 5\n",
       ":16: section [Repeat 32] repeats line 9"},
      {"repeated key", Replace(kGoodForm, "Top = 20\n", "Top = 20\nTOP = 21\n"),
       ":11: key TOP repeats line 10"},
      {"unknown key", Replace(kGoodForm, "Top = 20", "Colour = red"), ":10: Colour: unknown key"},
      {"field code not a number", Replace(kGoodForm, "Column1 = 256", "Column1 = No"),
       ":14: Column1: field code \"No\" is not a whole number"},
      {"field code out of range", Replace(kGoodForm, "Column1 = 256", "Column1 = 70000"),
       ":14: Column1: field code 70000 is outside 0 to 65535"},
      {"zero rows per page", Replace(kGoodForm, "RowsPerPage = 3", "RowsPerPage = 0"),
       ":13: RowsPerPage: rows per page 0 is outside 1 to 1000"},
      {"rows below the paper", Replace(kGoodForm, "RowsPerPage = 3", "RowsPerPage = 30"),
       ":13: RowsPerPage: 30 rows end 237 mm down"},
      {"no rows per page", Replace(kGoodForm, "RowsPerPage = 3\n", ""),
       ":9: [repeat32] has no RowsPerPage"},
      {"no columns", kGoodForm.substr(0, kGoodForm.find("Column1")),
       ":9: [repeat32] has no ColumnN"},
      {"huge font", Replace(kGoodForm, "right, 9", "right, 900"),
       ":14: Column1: font size 900 is outside 1 to 200"},
      {"huge paper", Replace(kGoodForm, "Paper = A4", "Paper = 5000x300"),
       ":3: Paper: paper width 5000 is outside 50 to 2000"},
      {"unknown paper", Replace(kGoodForm, "Paper = A4", "Paper = A0"),
       ":3: Paper: paper \"A0\" is neither"},
      {"no paper", Replace(kGoodForm, "Paper = A4\n", ""), ":1: [Form] has no Paper"},
      {"margins eat the paper", Replace(kGoodForm, "10, 10, 10, 10", "150, 10, 150, 10"),
       ":5: the margins leave"},
      {"decimal comma", Replace(kGoodForm, "Top = 20", "Top = 2,5"),
       ":10: Top: top \"2,5\" is not a number"},
      {"not a number", Replace(kGoodForm, "RowHeight = 7", "RowHeight = seven"),
       ":12: RowHeight: row height \"seven\" is not a number"},
      {"infinite number", Replace(kGoodForm, "RowHeight = 7", "RowHeight = inf"),
       ":12: RowHeight: row height \"inf\" is not a number"},
      {"column beyond the right margin", Replace(kGoodForm, "0x101, 20, 60", "0x101, 250, 60"),
       ":15: Column2: reaches outside the printable area of 277 x 190 mm"},
      {"header item too low", Replace(kGoodForm, "0, 184, 277, 6", "0, 188, 277, 6"),
       ":8: page: reaches outside"},
      {"too few values", Replace(kGoodForm, "0x101, 20, 60, left, , shrink", "0x101, 20"),
       ":15: Column2: expected 4 to 7 values"},
      {"bad alignment", Replace(kGoodForm, "center, 16", "middle, 16"),
       ":7: Title: alignment \"middle\""},
      {"unclosed quote", Replace(kGoodForm, "\"No., 番号\"", "\"No."),
       ":14: Column1: a quoted text has no closing quote"},
      {"line without '='", Replace(kGoodForm, "Top = 20", "Top 20"),
       ":10: expected \"[section]\" or \"key = value\""},
      {"key before a section", "Title = x\n" + kGoodForm, ":1: a key before the first section"},
      {"broken section header", Replace(kGoodForm, "[Header]", "[Header"),
       ":6: a section header must be"},
      {"not UTF-8", Replace(kGoodForm, "一覧", "\x88\xea\x97\x97"),
       ":2: the line is not UTF-8 text"},
      {"bad yes/no", Replace(kGoodForm, "Top = 20", "RuleRows = maybe"),
       ":10: RuleRows: \"maybe\" is not yes or no"},
  };
  for (const Case& c : cases) {
    PrintForm form;
    std::string error;
    EXPECT_FALSE(ParsePrintForm(c.text, "bad.FMT", form, error)) << c.what;
    EXPECT_EQ(error.rfind("bad.FMT" + c.expected, 0), 0u) << c.what << "\n  got: " << error;
  }
}

TEST(PrintFormReader, FilesThatAreNoFormAreRefused) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "big.FMT", std::string(2 << 20, ';'));
  test::WriteFileBytes(dir / "crlf.FMT", "\xEF\xBB\xBF" + Replace(kGoodForm, "\n", "\r\n"));
  PrintForm form;
  std::string error;
  EXPECT_TRUE(ReadPrintForm(dir / "crlf.FMT", form, error)) << error;  // BOM and CRLF are fine

  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir / "missing.FMT", ": cannot be opened (2) "},
      {dir.path(), ": cannot be opened (21) "},
      {dir / "big.FMT", ": is larger than 1 MiB"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_FALSE(ReadPrintForm(path, form, error)) << path;
    EXPECT_EQ(error.rfind(path + expected, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace vexa
