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
       ": セクション [Form] がありません"},
      {"missing repeat section", kGoodForm.substr(0, kGoodForm.find("[repeat32]")),
       ": 繰り返しのセクションがありません: 帳票には [RepeatN] が一つ以上必要です"},
      {"unknown section", Replace(kGoodForm, "[Header]", "[Heading]"),
       ":6: 不明なセクション [Heading] です (Form、Header、Footer、RepeatN のどれか)"},
      {"repeated section", kGoodForm + "[Repeat 32]\nRowHeight = 5\n",
       ":16: セクション [Repeat 32] は 9 行目と重複しています"},
      {"repeated key", Replace(kGoodForm, "Top = 20\n", "Top = 20\nTOP = 21\n"),
       ":11: キー TOP は 10 行目と重複しています"},
      {"unknown key", Replace(kGoodForm, "Top = 20", "Colour = red"),
       ":10: Colour: 不明なキーです "
       "(Top、HeadingHeight、RowHeight、RowsPerPage、RuleRows、RuleColumns、FontSize、ColumnN "
       "のどれか)"},
      {"field code not a number", Replace(kGoodForm, "Column1 = 256", "Column1 = No"),
       ":14: Column1: 項目コード \"No\" は整数ではありません"},
      {"field code out of range", Replace(kGoodForm, "Column1 = 256", "Column1 = 70000"),
       ":14: Column1: 項目コード 70000 は 0 から 65535 の範囲にありません"},
      {"zero rows per page", Replace(kGoodForm, "RowsPerPage = 3", "RowsPerPage = 0"),
       ":13: RowsPerPage: 1 ページの行数 0 は 1 から 1000 の範囲にありません"},
      {"rows below the paper", Replace(kGoodForm, "RowsPerPage = 3", "RowsPerPage = 30"),
       ":13: RowsPerPage: 30 行の終わりが 237 mm で、印刷できる高さ 190 mm を超えます"},
      {"no rows per page", Replace(kGoodForm, "RowsPerPage = 3\n", ""),
       ":9: [repeat32] に RowsPerPage がありません"},
      {"no columns", kGoodForm.substr(0, kGoodForm.find("Column1")),
       ":9: [repeat32] に ColumnN がありません"},
      {"huge font", Replace(kGoodForm, "right, 9", "right, 900"),
       ":14: Column1: 文字サイズ 900 は 1 から 200 の範囲にありません"},
      {"huge paper", Replace(kGoodForm, "Paper = A4", "Paper = 5000x300"),
       ":3: Paper: 用紙の幅 5000 は 50 から 2000 の範囲にありません"},
      {"unknown paper", Replace(kGoodForm, "Paper = A4", "Paper = A0"),
       ":3: Paper: 用紙 \"A0\" は A3、A4、A5、B4、B5、Letter、Legal、幅x高さ のどれでもありません"},
      {"no paper", Replace(kGoodForm, "Paper = A4\n", ""), ":1: [Form] に Paper がありません"},
      {"margins eat the paper", Replace(kGoodForm, "10, 10, 10, 10", "150, 10, 150, 10"),
       ":5: 余白を除いた印刷できる部分が 10 mm に足りません"},
      {"decimal comma", Replace(kGoodForm, "Top = 20", "Top = 2,5"),
       ":10: Top: 上端 \"2,5\" は数値ではありません"},
      {"not a number", Replace(kGoodForm, "RowHeight = 7", "RowHeight = seven"),
       ":12: RowHeight: 行の高さ \"seven\" は数値ではありません"},
      {"infinite number", Replace(kGoodForm, "RowHeight = 7", "RowHeight = inf"),
       ":12: RowHeight: 行の高さ \"inf\" は数値ではありません"},
      {"column beyond the right margin", Replace(kGoodForm, "0x101, 20, 60", "0x101, 250, 60"),
       ":15: Column2: 印刷できる範囲 277 x 190 mm からはみ出しています"},
      {"header item too low", Replace(kGoodForm, "0, 184, 277, 6", "0, 188, 277, 6"),
       ":8: page: 印刷できる範囲 277 x 190 mm からはみ出しています"},
      {"too few values", Replace(kGoodForm, "0x101, 20, 60, left, , shrink", "0x101, 20"),
       ":15: Column2: 4 つから 7 つの値 "
       "(項目コード、x、幅、配置[、文字サイズ[、はみ出し[、見出し]]]) を書きます"},
      {"bad alignment", Replace(kGoodForm, "center, 16", "middle, 16"),
       ":7: Title: 配置 \"middle\" は left、center、right のどれでもありません"},
      {"unclosed quote", Replace(kGoodForm, "\"No., 番号\"", "\"No."),
       ":14: Column1: 引用符で始まる文字列が閉じていません"},
      {"line without '='", Replace(kGoodForm, "Top = 20", "Top 20"),
       ":10: \"[セクション]\" か \"キー = 値\" のどちらかを書きます"},
      {"key before a section", "Title = x\n" + kGoodForm,
       ":1: 最初のセクションより前にキーがあります"},
      {"broken section header", Replace(kGoodForm, "[Header]", "[Header"),
       ":6: セクションの見出しは \"[名前]\" と書きます"},
      {"not UTF-8", Replace(kGoodForm, "一覧", "\x88\xea\x97\x97"),
       ":2: この行は UTF-8 のテキストではありません"},
      {"bad yes/no", Replace(kGoodForm, "Top = 20", "RuleRows = maybe"),
       ":10: RuleRows: \"maybe\" は yes、no のどちらでもありません"},
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
      {dir / "missing.FMT", ": 開けません: (2) "},
      {dir.path(), ": 開けません: (21) "},
      {dir / "big.FMT", ": 1 MiB を超えています"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_FALSE(ReadPrintForm(path, form, error)) << path;
    EXPECT_EQ(error.rfind(path + expected, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace vexa
