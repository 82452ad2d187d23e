// The print manager through the real PDF: a drawing list written with
// WritePdf and read back with pdftotext, pdffonts and pdfinfo.
#include "vexafol/ui/print_man.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/list_form.h"
#include "tests/support/pdf_text.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/ui/message_box.h"
#include "vexafol/zmn_list_print.h"

namespace vexa::test {
namespace {

// count records of repeat kind 32 printed with the form at path: every
// field is the record's number.
class NumberedData : public CPrintData {
 public:
  NumberedData(std::string path, int count) : path_(std::move(path)), count_(count) {}
  int GetFormFile(std::string& out) override {
    out = path_;
    return 1;
  }
  int GetRepeatCount(int kind, int) override { return kind == 32 ? count_ : 0; }
  signed char GetRecordItem(int kind, int, int code, int record, int, std::string& text,
                            unsigned long*) override {
    if (kind != 32 || code < 256 || code > 264) return -1;
    text = std::to_string(record + 1);
    return 1;
  }

 private:
  std::string path_;
  int count_;
};

class PrintManTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasPoppler()) GTEST_SKIP() << "poppler-utils (pdftotext, pdffonts, pdfinfo) missing";
    WriteFileBytes(form_, kThreeRowListForm);
  }

  // Writes the members as a list with the form; the PDF's pages.
  std::vector<std::string> Print(const std::vector<const FolMember*>& members,
                                 CFormPrintData* device = nullptr) {
    CPrintMan manager;
    manager.SetEnvObj(store_.env());
    manager.SetDeviceJkn(device);
    manager.AddPrintData(
        new ZmnListPrint(form_, members.data(), static_cast<int>(members.size()), store_.env()), 1);
    EXPECT_EQ(manager.WritePdf(pdf_), 1) << manager.GetLastError();
    return PdfPages(pdf_);
  }

  // The names in a folder that start with "list.pdf", sorted: the PDF and
  // any temporary file beside it.
  static std::vector<std::string> PdfFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("list.pdf", 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The row of a page whose first word is the drawing number.
  static std::string RowOf(const std::string& page, int number) {
    for (const std::string& line : Lines(page)) {
      const size_t start = line.find_first_not_of(' ');
      if (start != std::string::npos &&
          line.compare(start, line.find(' ', start) - start, std::to_string(number)) == 0)
        return line;
    }
    return "";
  }

  StoreFixture store_;
  std::string form_ = store_.dir() / "LIST.FMT";
  std::string pdf_ = store_.dir() / "list.pdf";
};

// The field values are the list data's own test; here they must reach the PDF.
TEST_F(PrintManTest, EveryDrawingPrintsInOrderOnPagesOfRowsPerPage) {
  for (int number = 1; number <= 7; ++number) {
    DrawingSpec spec;
    spec.title = "第" + std::to_string(number) + "号 道路平面図";
    spec.memo = "境界杭メモ" + std::to_string(number);
    store_.WriteAppDrawing(0x1, number, spec);
  }
  VexaFolderList list(store_.env());
  list.Load(0x1, VexaFolderList::kLoadNoLocks);
  list.SetSortType(kSortFolderNo, -1);  // 7 down to 1
  std::vector<const FolMember*> members;
  for (int i = 0; i < list.GetFolderNum(); ++i) members.push_back(list.GetSortedFolderMember(i));

  const std::vector<std::string> pages = Print(members);
  ASSERT_EQ(pages.size(), 3u);  // 3 + 3 + 1 rows
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_NE(pages[p].find(std::to_string(p + 1) + " / 3"), std::string::npos) << pages[p];
    EXPECT_NE(pages[p].find("図面一覧表"), std::string::npos);
  }
  size_t previous = 0;
  for (size_t i = 0; i < members.size(); ++i) {
    const FolMember& m = *members[i];
    const int number = m.GetFolderNo(store_.env()) + 1;
    EXPECT_EQ(number, 7 - static_cast<int>(i));
    const std::string& page = pages[i / 3];
    const std::string row = RowOf(page, number);
    for (const std::string& field : {m.header.Title(), m.header.Memo()})
      EXPECT_NE(row.find(field), std::string::npos) << field << " not in: " << row;
    // Rows of a page in the members' order.
    const size_t at = page.find(row);
    if (i % 3 != 0) {
      EXPECT_GT(at, previous);
    }
    previous = at;
  }
  // Japanese text comes back as written: the fonts are embedded.
  const std::string fonts = PdfFonts(pdf_);
  int embedded = 0;
  for (const std::string& line : Lines(fonts)) {
    if (line.find("CID") == std::string::npos && line.find("TrueType") == std::string::npos)
      continue;
    EXPECT_NE(line.find(" yes "), std::string::npos) << line;
    ++embedded;
  }
  EXPECT_GT(embedded, 0) << fonts;
  EXPECT_NE(PdfPageSize(pdf_).find("(A4)"), std::string::npos) << PdfPageSize(pdf_);

  // Stopped by its progress after page 2: the complete PDF written before
  // stays as it was, and nothing else is left beside it.
  const std::string complete = ReadFileBytes(pdf_);
  CPrintMan stopped;
  stopped.SetEnvObj(store_.env());
  stopped.AddPrintData(new ZmnListPrint(form_, members.data(), 7, store_.env()), 1);
  std::vector<int> heard;
  EXPECT_EQ(stopped.WritePdf(pdf_,
                             [&](int done, int total) {
                               heard.push_back(done * 10 + total);
                               return done < 2;
                             }),
            0);
  EXPECT_EQ(heard, (std::vector<int>{13, 23}));
  EXPECT_EQ(stopped.GetLastError(), "3 ページ中 2 ページで中止しました");
  EXPECT_EQ(ReadFileBytes(pdf_), complete);
  EXPECT_EQ(PdfFilesIn(store_.dir().path()), std::vector<std::string>{"list.pdf"});
}

// A disk that fills while the PDF is written: the run fails with the system's
// reason, and neither a partial PDF nor its temporary file is left, while the
// file that was at the path stays. A device is written in place and its
// write errors are the run's too.
TEST_F(PrintManTest, AWriteThatFailsFailsTheRunAndLeavesNoPartialPdf) {
  for (int number = 1; number <= 60; ++number) store_.WriteAppDrawing(0x1, number);
  VexaFolderList list(store_.env());
  list.Load(0x1, VexaFolderList::kLoadNoLocks);
  std::vector<const FolMember*> members;
  for (int i = 0; i < list.GetFolderNum(); ++i) members.push_back(list.GetFolderMember(i));
  auto write = [&](const std::string& path) {
    CPrintMan manager;
    manager.SetEnvObj(store_.env());
    manager.AddPrintData(
        new ZmnListPrint(form_, members.data(), static_cast<int>(members.size()), store_.env()), 1);
    const int result = manager.WritePdf(path);
    return std::make_pair(result, manager.GetLastError());
  };

  auto [full, fullError] = write("/dev/full");
  // Qt's own text for the cause, in the user's language (Japanese in the
  // tests): the library loaded Qt's translation when it was first used.
  const std::string noSpace =
      QCoreApplication::translate("QIODevice", "No space left on device").toStdString();
  EXPECT_EQ(full, 0);
  EXPECT_EQ(fullError, "/dev/full: 書き込めません: " + noSpace);

  if (geteuid() != 0) GTEST_SKIP() << "a small file system to fill needs root (mount)";
  const std::string small = store_.dir() / "small";
  ASSERT_EQ(mkdir(small.c_str(), 0755), 0);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{small};
  const std::string pdf = small + "/list.pdf";
  WriteFileBytes(pdf, "the list of yesterday");
  auto [result, error] = write(pdf);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, pdf + ": 書き込めません: " + noSpace);
  EXPECT_EQ(ReadFileBytes(pdf), "the list of yesterday");
  EXPECT_EQ(PdfFilesIn(small), std::vector<std::string>{"list.pdf"});
}

// The preview keeps every page, so it takes fewer texts than a PDF: a list
// of 3,867 pages of 52 texts and lines is refused there before any window,
// and planned for a PDF.
TEST_F(PrintManTest, APreviewTakesAtMostItsBoundAndAPdfMore) {
  CPrintMan manager;
  manager.SetEnvObj(store_.env());
  manager.AddPrintData(new NumberedData(form_, 11600), 1);
  ASSERT_EQ(manager.LayOut(), 1) << manager.GetLastError();
  EXPECT_EQ(manager.GetPageCount(), 3867);
  std::vector<std::string> shown;
  ScopedMessageBoxHook hook([&](QWidget*, const std::string& text, const std::string&, unsigned) {
    shown.push_back(text);
    return IDOK;
  });
  EXPECT_EQ(manager.ExecPreview(nullptr, "図面一覧リスト"), -1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], form_ +
                          ": 一覧の文字列と線が 200000 個を超えます (ここまで 3847 ページ)。"
                          "一度に印刷できる量を超えるので、図面を減らすか、列の少ない帳票で"
                          "印刷してください");
}

TEST_F(PrintManTest, DeviceSettingsChooseThePaper) {
  store_.WriteAppDrawing(0x1, 12);
  VexaFolderList list(store_.env());
  list.Load(0x1, VexaFolderList::kLoadNoLocks);
  ASSERT_EQ(list.GetFolderNum(), 1);
  CFormPrintData device;
  device.paperName = "A3";
  device.orientation = 1;  // portrait
  ASSERT_EQ(Print({list.GetFolderMember(0)}, &device).size(), 1u);
  EXPECT_NE(PdfPageSize(pdf_).find("(A3)"), std::string::npos) << PdfPageSize(pdf_);
  EXPECT_NE(PdfPageSize(pdf_).find("842 x 1191"), std::string::npos) << PdfPageSize(pdf_);
}

TEST_F(PrintManTest, AFormThatCannotBeReadIsReportedOrFoundInTheFormFolders) {
  const std::string missing = store_.dir() / "NONE.FMT";
  CPrintMan manager;
  manager.SetEnvObj(store_.env());
  manager.AddPrintData(new ZmnListPrint(missing, nullptr, 0, store_.env()), 1);
  EXPECT_EQ(manager.WritePdf(pdf_), 0);
  EXPECT_NE(manager.GetLastError().find(missing), std::string::npos) << manager.GetLastError();
  EXPECT_EQ(ReadFileBytes(pdf_), "");

  std::vector<std::string> shown;
  ScopedMessageBoxHook hook(
      [&](QWidget*, const std::string& text, const std::string& title, unsigned) {
        shown.push_back(title + "/" + text);
        return IDOK;
      });
  EXPECT_EQ(manager.ExecPreview(nullptr, "図面一覧リスト"), -1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "図面一覧リスト/" + manager.GetLastError());

  // A form missing where the data says is found by its name in the form folders.
  CFormPathList folders;
  folders.AddPath(store_.dir().path());
  CPrintMan found;
  found.SetEnvObj(store_.env());
  found.SetFormPathList(&folders);
  found.AddPrintData(new ZmnListPrint(store_.dir() / "moved/LIST.FMT", nullptr, 0, store_.env()),
                     1);
  EXPECT_EQ(found.WritePdf(pdf_), 1) << found.GetLastError();
  EXPECT_EQ(PdfPages(pdf_).size(), 1u);
}

}  // namespace
}  // namespace vexa::test
