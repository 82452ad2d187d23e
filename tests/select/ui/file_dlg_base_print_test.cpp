// The print button of the selection dialog: the form chosen in a real file
// dialog, the preview shown offscreen and printed to a PDF that is read back;
// the refusals and the failure; the device settings kept only after a preview.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <new>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/list_form.h"
#include "tests/support/pdf_text.h"
#include "tests/support/store_fixture.h"
#include "tests/support/when_shown.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/hooks.h"

namespace {

// The nothrow allocations still granted before one fails; negative: none
// fails. The print command makes its page data and print data this way.
int nothrowGrantsBeforeFailure = -1;

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (nothrowGrantsBeforeFailure == 0) {
    nothrowGrantsBeforeFailure = -1;
    return nullptr;
  }
  if (nothrowGrantsBeforeFailure > 0) --nothrowGrantsBeforeFailure;
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

namespace vexa::test {
namespace {

// Identity and content of a file: a rewrite with the same bytes still changes
// the inode (settings are replaced by renaming).
std::string Snapshot(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "missing";
  return std::to_string(st.st_ino) + ":" + ReadFileBytes(path);
}

class FileDlgPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasPoppler()) GTEST_SKIP() << "poppler-utils (pdftotext) missing";
    std::string forms = store_.env().GetPath(kPathForms) + "/CAD/812101";
    WriteFileBytes(forms + "/LIST.FMT", kThreeRowListForm);
    const char* titles[] = {"道路平面図", "水路縦断図", "道路横断図", "境界図", "道路詳細図"};
    for (int number = 1; number <= 5; ++number) {
      DrawingSpec spec;
      spec.title = titles[number - 1];
      spec.updated = 1700000000 - number * 86400;  // the default order: 1 to 5
      store_.WriteAppDrawing(0x1, number, spec);
    }
    list_.Load(0x1, 0);
  }

  // Clicks the print button of a selection dialog with the print context.
  void ClickPrint(FileSelDlg& dialog) { ClickControl(dialog, kIdPrint); }

  std::unique_ptr<FileSelDlg> Open(VexaFolderList& list, CFormPrintData* device = nullptr) {
    auto dialog =
        std::make_unique<FileSelDlg>(&list, nullptr, 0, 1, &formPaths_, &conditions_, device, 0);
    dialog->InitDialog();
    dialog->show();
    return dialog;
  }

  StoreFixture store_;
  VexaFolderList list_{store_.env()};
  CFormPathList formPaths_;
  CJknMan conditions_;
  std::string settings_ = store_.dir() / "user.ini";
  std::string pdf_ = store_.dir() / "preview.pdf";
};

TEST_F(FileDlgPrintTest, PreviewShowsTheGridsDrawingsAndKeepsTheDeviceSettings) {
  auto dialog = Open(list_);
  FindCriteria criteria;
  criteria.useName = 1;
  criteria.name = "道路";
  ASSERT_TRUE(dialog->GetSheet()->ApplySearch(criteria));
  std::vector<std::string> shownTitles;
  for (int row = 0; row < dialog->GetSheet()->GetRecCnt(); ++row)
    shownTitles.push_back(dialog->GetSheet()->GetRowMember(row)->header.Title());
  ASSERT_EQ(shownTitles.size(), 3u);

  // The caller's saved print conditions and the user's last device settings
  // are taken up.
  CJknSet savedConditions;
  savedConditions.SetJkn(kJknTitle, "工事図面一覧");
  conditions_.SaveJkn(savedConditions);
  ASSERT_NE(store_.env().SetUserDataStr("VEXA帳票", "DEVICE", "COPIES", "2"), 0);
  QString formDialogTitle, previewTitle;
  QStringList formFilters;
  QString formFolder;
  int previewCopies = 0;
  Answer<QFileDialog> chooseForm([&](QFileDialog& files) {
    formDialogTitle = files.windowTitle();
    formFilters = files.nameFilters();
    formFolder = files.directory().absolutePath();
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("LIST.FMT");
    QMetaObject::invokeMethod(&files, "accept");
  });
  Answer<QPrintPreviewDialog> printFromPreview([&](QPrintPreviewDialog& preview) {
    previewTitle = preview.windowTitle();
    previewCopies = preview.printer()->copyCount();
    preview.printer()->setOutputFormat(QPrinter::PdfFormat);
    preview.printer()->setOutputFileName(QString::fromStdString(pdf_));
    preview.findChild<QPrintPreviewWidget*>()->print();
  });
  MessageRecorder messages;
  ClickPrint(*dialog);
  EXPECT_TRUE(chooseForm.seen());
  EXPECT_TRUE(printFromPreview.seen());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(formDialogTitle, QStringLiteral("図面一覧リスト"));
  EXPECT_EQ(previewTitle, QStringLiteral("図面一覧リスト"));
  EXPECT_EQ(formFilters, QStringList({"ﾕｰｻﾞｰ帳票 (*.FMT)", "標準帳票 (*.@MT)"}));
  EXPECT_EQ(formFolder,
            QDir(QString::fromStdString(store_.env().GetPath(kPathForms) + "/CAD/812101"))
                .absolutePath());
  EXPECT_EQ(previewCopies, 2);

  // The grid's drawings in its order, on one page of three rows.
  const std::vector<std::string> pages = PdfPages(pdf_);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("工事図面一覧"), std::string::npos);
  size_t previous = 0;
  for (const std::string& title : shownTitles) {
    const size_t at = pages[0].find(title);
    EXPECT_NE(at, std::string::npos) << title;
    EXPECT_GE(at, previous) << title;
    previous = at;
  }
  EXPECT_EQ(pages[0].find("水路縦断図"), std::string::npos);
  EXPECT_EQ(pages[0].find("境界図"), std::string::npos);
  // The run reached the preview: its device settings are kept.
  std::string copies;
  EXPECT_NE(store_.env().GetUserDataStr("VEXA帳票", "DEVICE", "COPIES", copies), 0);
  EXPECT_EQ(copies, "2");

  // Cancelling the form choice keeps the settings file as it is.
  const std::string before = Snapshot(settings_);
  Answer<QFileDialog> cancel([](QFileDialog& files) { files.reject(); });
  Answer<QPrintPreviewDialog> noPreview([](QPrintPreviewDialog&) {});
  ClickPrint(*dialog);
  EXPECT_TRUE(cancel.seen());
  EXPECT_FALSE(noPreview.seen());
  EXPECT_EQ(Snapshot(settings_), before);

  // A refused permission shows nothing at all.
  const RightsHook previousHook =
      SetRightsHook([](unsigned long code) { return code == 0x10100 ? 0 : 1; });
  Answer<QFileDialog> noFormChoice([](QFileDialog&) {});
  ClickPrint(*dialog);
  SetRightsHook(previousHook);
  EXPECT_FALSE(noFormChoice.seen());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Snapshot(settings_), before);
}

TEST_F(FileDlgPrintTest, EmptyGridHasNothingToPrint) {
  VexaFolderList empty(store_.env());
  empty.Load(0x2, 0);
  auto dialog = Open(empty);
  MessageRecorder messages;
  Answer<QFileDialog> noFormChoice([](QFileDialog&) {});
  ClickPrint(*dialog);
  EXPECT_FALSE(noFormChoice.seen());
  EXPECT_EQ(messages.Described(),
            std::vector<std::string>{"図面一覧印刷/印刷可能なデータがありません/" +
                                     std::to_string(MB_OK | MB_ICONERROR)});
}

TEST_F(FileDlgPrintTest, ARunEndsInThePreviewOrAFailureAndKeepsOnlyItsOwnDeviceSettings) {
  // The form is chosen at once; the nothrow allocations after the choice are
  // the page data's and then the print data's.
  static int grantsAfterChoice;
  const SelectOpenFileHook previousChooser = SetSelectOpenFileHook(
      [](void*, const std::string&, const std::string&, const std::string&, const std::string&) {
        nothrowGrantsBeforeFailure = grantsAfterChoice;
        return std::string("LIST.FMT");
      });
  CFormPrintData callersDevice;
  callersDevice.copies = 3;
  struct Case {
    CFormPrintData* device;
    int grants;         // nothrow allocations before one fails; -1: none fails
    int previewCopies;  // 0: no preview
    bool kept;          // "VEXA帳票" holds device settings afterwards
  };
  const Case cases[] = {
      {nullptr, 0, 0, false},  // no page data
      {nullptr, 1, 0, false},  // no print data
      {&callersDevice, -1, 3, false},
      {nullptr, -1, 1, true},  // reaching the preview is enough, even if it is closed
  };
  for (const Case& c : cases) {
    grantsAfterChoice = c.grants;
    auto dialog = Open(list_, c.device);
    MessageRecorder messages;
    int previewCopies = 0;
    Answer<QPrintPreviewDialog> closePreview([&](QPrintPreviewDialog& preview) {
      previewCopies = preview.printer()->copyCount();
      preview.reject();
    });
    ClickPrint(*dialog);
    EXPECT_EQ(nothrowGrantsBeforeFailure, -1) << c.grants << ": no allocation failed";
    nothrowGrantsBeforeFailure = -1;
    EXPECT_EQ(previewCopies, c.previewCopies) << c.grants;
    std::string copies;
    EXPECT_EQ(store_.env().GetUserDataStr("VEXA帳票", "DEVICE", "COPIES", copies) != 0, c.kept)
        << c.grants;
    const std::string failed =
        "図面一覧リスト/印刷に失敗しました/" + std::to_string(MB_OK | MB_ICONERROR);
    EXPECT_EQ(messages.Described(),
              c.grants < 0 ? std::vector<std::string>{} : std::vector<std::string>{failed})
        << c.grants;
  }
  SetSelectOpenFileHook(previousChooser);
}

}  // namespace
}  // namespace vexa::test
