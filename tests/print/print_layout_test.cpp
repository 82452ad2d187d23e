// The layout engine without any painter: rows by rows per page, page breaks,
// header and footer on every page, texts cut or shrunk to their cells.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "vexafol/print.h"

namespace vexa {
namespace {

const std::string kLayoutForm =
    "[Form]\n"
    "Title = 一覧\n"
    "Paper = A4\n"
    "Orientation = Landscape\n"
    "Margins = 10, 10, 10, 10\n"
    "[Header]\n"
    "Title = 0, 0, 277, 10, center, 16\n"
    "Date = 180, 12, 97, 6, right, 10\n"
    "Field1 = 7, 0, 12, 100, 6, left, 10\n"
    "Line1 = 0, 19, 277, 19\n"
    "[Footer]\n"
    "Page = 0, 184, 277, 6, center, 9\n"
    "[Repeat32]\n"
    "Top = 20\n"
    "HeadingHeight = 7\n"
    "RowHeight = 7\n"
    "RowsPerPage = 3\n"
    "RuleRows = yes\n"
    "RuleColumns = yes\n"
    "Column1 = 256, 0, 20, right, 9, cut, No.\n"
    "Column2 = 257, 20, 60, left, 9, shrink, 名前\n";

constexpr double kRowTop = 10 + 20 + 7;  // margin + band top + heading
constexpr double kRowHeight = 7;

// Records "r<i>" (sub-records "r<i>.<j>") of repeat kind 32 with a second field.
class ListData : public CPrintData {
 public:
  int count = 0;
  std::set<int> rejected;
  std::map<int, int> subRecords;
  std::string numberSuffix;
  std::string secondField = "x";
  bool closingRow = false;

  int GetRepeatCount(int kind, int) override { return kind == 32 ? count : 0; }
  int GetSubRecCnt(int, int record) override { return subRecords[record]; }
  signed char GetRecordItem(int kind, int, int code, int record, int sub, std::string& text,
                            unsigned long*) override {
    if (kind != 32 || record >= count) return -1;
    if (code == 256) {
      text =
          "r" + std::to_string(record) + (sub < 0 ? "" : "." + std::to_string(sub)) + numberSuffix;
      return 1;
    }
    if (code == 257) {
      text = secondField;
      return 1;
    }
    return -1;
  }
  int AcceptItem(int, int, int record, int, const CJknSet*) override {
    return rejected.count(record) ? 0 : 1;
  }
  int GetItemStr(int code, std::string& text) override {
    if (code != 7) return 0;
    text = "現場X";
    return 1;
  }
  int IsAddElement(int kind) override { return closingRow && kind == 32; }
  int AddItem(int, int code, std::string& text) override {
    if (code != 256) return -1;
    text = "合計";
    return 1;
  }
};

PrintForm ReadForm(const std::string& text) {
  PrintForm form;
  std::string error;
  EXPECT_TRUE(ParsePrintForm(text, "layout.FMT", form, error)) << error;
  return form;
}

PrintLayout LayOut(const PrintForm& form, ListData& data) {
  PrintLayout layout;
  std::string error;
  EXPECT_TRUE(LayOutPrintForm(form, data, nullptr, {"", "", "2026/12/06"}, layout, error)) << error;
  return layout;
}

// The texts of a page in the order they were placed.
std::vector<std::string> TextsOf(const PrintPage& page) {
  std::vector<std::string> texts;
  for (const PrintTextRun& run : page.texts) texts.push_back(run.text);
  return texts;
}

const PrintTextRun* FindRun(const PrintPage& page, const std::string& text) {
  for (const PrintTextRun& run : page.texts) {
    if (run.text == text) return &run;
  }
  return nullptr;
}

TEST(PrintLayout, PagesBreakAfterExactlyRowsPerPage) {
  const PrintForm form = ReadForm(kLayoutForm);
  struct Case {
    int records;
    int pages;
  };
  for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{3, 1}, Case{4, 2}, Case{6, 2}, Case{7, 3}}) {
    ListData data;
    data.count = c.records;
    const PrintLayout layout = LayOut(form, data);
    ASSERT_EQ(layout.PageCount(), c.pages) << c.records << " records";
    EXPECT_EQ(layout.paperWidth, 297);
    EXPECT_EQ(layout.paperHeight, 210);
    for (int i = 0; i < c.records; ++i) {
      const PrintTextRun* run =
          FindRun(layout.pages[static_cast<size_t>(i / 3)], "r" + std::to_string(i));
      ASSERT_NE(run, nullptr) << "record " << i << " of " << c.records;
      EXPECT_DOUBLE_EQ(run->rect.y, kRowTop + (i % 3) * kRowHeight);
      EXPECT_DOUBLE_EQ(run->rect.x, 10 + 0.8);  // margin + cell padding
      EXPECT_EQ(run->align, PrintAlign::Right);
    }
    for (int p = 0; p < c.pages; ++p) {
      const PrintPage& page = layout.pages[static_cast<size_t>(p)];
      const std::string number = std::to_string(p + 1) + " / " + std::to_string(c.pages);
      EXPECT_NE(FindRun(page, number), nullptr) << number;
      EXPECT_NE(FindRun(page, "一覧"), nullptr);  // the form's title: the conditions give none
      EXPECT_NE(FindRun(page, "2026/12/06"), nullptr);
      EXPECT_NE(FindRun(page, "現場X"), nullptr);
      EXPECT_NE(FindRun(page, "No."), nullptr);  // every page repeats the heading
      const int rows = c.records == 0 ? 0 : std::min(3, c.records - p * 3);
      // The form's line, one rule under the heading and under every row, and
      // the lines between the columns; one box around heading and rows.
      EXPECT_EQ(page.lines.size(), static_cast<size_t>(1 + 1 + rows + 1)) << number;
      ASSERT_EQ(page.boxes.size(), 1u);
      EXPECT_DOUBLE_EQ(page.boxes[0].rect.height, 7 + rows * kRowHeight);
    }
  }
}

TEST(PrintLayout, RecordsSubRecordsAndClosingRowInOrder) {
  const PrintForm form = ReadForm(kLayoutForm);
  ListData data;
  data.count = 3;
  data.rejected = {1};
  data.subRecords[0] = 2;
  data.secondField = "";
  data.closingRow = true;
  const PrintLayout layout = LayOut(form, data);
  ASSERT_EQ(layout.PageCount(), 2);
  auto rows = [](const PrintPage& page) {
    std::vector<std::string> found;
    for (const std::string& text : TextsOf(page)) {
      if (text[0] == 'r' || text == "合計") found.push_back(text);
    }
    return found;
  };
  EXPECT_EQ(rows(layout.pages[0]), (std::vector<std::string>{"r0", "r0.0", "r0.1"}));
  EXPECT_EQ(rows(layout.pages[1]), (std::vector<std::string>{"r2", "合計"}));
  EXPECT_NE(FindRun(layout.pages[1], "2 / 2"), nullptr);
}

TEST(PrintLayout, LongTextsAreCutOrShrunkToTheirCells) {
  const PrintForm form = ReadForm(kLayoutForm);
  ListData data;
  data.count = 1;
  data.secondField.clear();
  for (int i = 0; i < 40; ++i) data.secondField += "図";
  data.secondField += "\r\n";
  const PrintLayout layout = LayOut(form, data);
  const PrintTextRun* shrunk = nullptr;
  for (const PrintTextRun& run : layout.pages[0].texts) {
    if (run.text.rfind("図", 0) == 0) shrunk = &run;
    EXPECT_LE(MeasurePrintText(run.text, run.fontSize), run.rect.width + 1e-9) << run.text;
  }
  ASSERT_NE(shrunk, nullptr);
  // 40 em at 9 pt (127 mm) in 58.4 mm: shrunk to half the size, then cut.
  EXPECT_EQ(shrunk->fontSize, 4.5);
  // 36 characters fit; 35 and the ellipsis that says the rest was cut (the
  // line break became blanks and went with it).
  std::string expected;
  for (int i = 0; i < 35; ++i) expected += "図";
  EXPECT_EQ(shrunk->text, expected + "…");

  // A cut column keeps its size: 18.4 mm hold 11 characters of 1.5875 mm,
  // 9 of them and the full-width ellipsis.
  data.numberSuffix = "0123456789012345";
  const PrintLayout cut = LayOut(form, data);
  const PrintTextRun* number = FindRun(cut.pages[0], "r00123456…");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->fontSize, 9);
  EXPECT_EQ(number->text, "r00123456…");
}

TEST(PrintLayout, TextWidthsOfTheFixedPitchFace) {
  struct Case {
    std::string text;
    double width;  // at 72 pt, one em = 25.4 mm
  };
  for (const Case& c : {Case{"", 0}, Case{"ab", 25.4}, Case{"図面", 50.8}, Case{"ｱｲ", 25.4},
                        Case{"a図", 38.1}, Case{"\xff\xfe", 50.8}}) {
    EXPECT_DOUBLE_EQ(MeasurePrintText(c.text, 72), c.width) << c.text;
  }
  EXPECT_EQ(CutPrintText("ab図c", 72, 40), "ab");
  EXPECT_EQ(CutPrintText("ab図c", 72, 50.8), "ab図");
  EXPECT_EQ(CutPrintText("図", 72, 1), "");
}

TEST(PrintLayout, AFieldCodeNoRecordAnswersIsAnError) {
  const std::string text = kLayoutForm + "Column3 = 999, 80, 20, left\n";
  const PrintForm form = ReadForm(text);
  ListData data;
  PrintLayout layout;
  std::string error;
  EXPECT_TRUE(LayOutPrintForm(form, data, nullptr, {}, layout, error)) << "no record, no check";
  data.count = 2;
  EXPECT_FALSE(LayOutPrintForm(form, data, nullptr, {}, layout, error));
  EXPECT_EQ(error, "layout.FMT:22: 項目コード 999 は繰り返しの種類 32 のデータにありません");
}

// The pager lays out any page alone, in any order, as the whole layout does:
// pages that start inside a record's sub-records and the closing row's page.
TEST(PrintLayout, PagesLaidOutOneAtATimeMatchTheWholeLayout) {
  const PrintForm form = ReadForm(kLayoutForm);
  ListData data;
  data.count = 9;
  data.rejected = {1, 5};
  data.subRecords = {{0, 2}, {3, 4}, {8, 2}};
  data.closingRow = true;
  const PrintLayout whole = LayOut(form, data);
  PrintPager pager;
  std::string error;
  ASSERT_TRUE(pager.Plan(form, data, nullptr, {"", "", "2026/12/06"}, error)) << error;
  ASSERT_EQ(pager.PageCount(), whole.PageCount());
  ASSERT_EQ(pager.PageCount(), 6);  // 15 rows of records and the closing row, 3 a page
  EXPECT_EQ(pager.Paper().paperWidth, 297);
  PrintPage page;
  for (int index = pager.PageCount() - 1; index >= 0; --index) {
    ASSERT_TRUE(pager.LayOutPage(index, page));
    const PrintPage& expected = whole.pages[static_cast<size_t>(index)];
    EXPECT_EQ(TextsOf(page), TextsOf(expected)) << "page " << index + 1;
    EXPECT_EQ(page.lines.size(), expected.lines.size());
    EXPECT_EQ(page.boxes.size(), expected.boxes.size());
  }
  // After the headings: a page that starts inside r3's sub-records, and the
  // closing row alone on the last page.
  EXPECT_EQ(TextsOf(whole.pages[2])[2], "r3.1");
  EXPECT_EQ(TextsOf(whole.pages[5])[2], "合計");
  EXPECT_FALSE(pager.LayOutPage(6, page));
  EXPECT_TRUE(page.texts.empty());
}

// A form of thin columns and many rows, made for the bounds below: columns x
// rows cells per page, no heading, no rules.
std::string GridForm(int columns, int rows, const std::string& header = "") {
  std::string text = "[Form]\nPaper = 2000x2000\nMargins = 0, 0, 0, 0\n" + header +
                     "[Repeat32]\nRowHeight = 0.5\nRowsPerPage = " + std::to_string(rows) + "\n";
  for (int i = 0; i < columns; ++i) {
    text += "Column" + std::to_string(i + 1) + " = 256, " + std::to_string(i) + ", 0.5, left\n";
  }
  return text;
}

TEST(PrintLayout, APageOrARunBeyondItsBoundIsRefusedBeforeAnyPage) {
  ListData data;
  data.count = 1;
  PrintPager pager;
  std::string error;
  // 200 columns x 100 rows: 20,000 cells, the most a page may hold.
  ASSERT_TRUE(pager.Plan(ReadForm(GridForm(200, 100)), data, nullptr, {}, error)) << error;
  // One more item on every page is one too many.
  const PrintForm over = ReadForm(GridForm(200, 100, "[Header]\nText = 0, 0, 10, 5, left, 9, x\n"));
  EXPECT_FALSE(pager.Plan(over, data, nullptr, {}, error));
  EXPECT_EQ(error,
            "layout.FMT:6: [Repeat32]: 200 列 100 行の 1 ページには文字列と線が最大 20001 個あり、"
            "1 ページの上限 20000 個を超えます");
  EXPECT_EQ(pager.PageCount(), 0);

  // 100 full pages make the 2,000,000 texts of a run; a record more needs a
  // 101st page.
  const PrintForm form = ReadForm(GridForm(200, 100));
  data.count = 10000;
  ASSERT_TRUE(pager.Plan(form, data, nullptr, {}, error)) << error;
  EXPECT_EQ(pager.PageCount(), 100);
  data.count = 10001;
  EXPECT_FALSE(pager.Plan(form, data, nullptr, {}, error));
  EXPECT_EQ(error,
            "layout.FMT: 一覧の文字列と線が 2000000 個を超えます (ここまで 101 ページ)。"
            "一度に印刷できる量を超えるので、図面を減らすか、列の少ない帳票で印刷してください");
  PrintLayout layout;
  EXPECT_FALSE(LayOutPrintForm(form, data, nullptr, {}, layout, error));
  // A caller may bound a run tighter (the print preview does).
  data.count = 5000;
  EXPECT_FALSE(pager.Plan(form, data, nullptr, {}, error, 980000));
  EXPECT_NE(error.find("一覧の文字列と線が 980000 個を超えます (ここまで 50 ページ)"),
            std::string::npos)
      << error;
}

}  // namespace
}  // namespace vexa
