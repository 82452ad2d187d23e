#include "vexafol/ui/print_man.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>

#include <new>

#include "print/ui/page_painter.h"
#include "vexafol/filetime.h"
#include "vexafol/ui/message_box.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

// A preview of more pages than this shows its progress.
constexpr int kProgressFromPages = 20;

// The paper of that name ("A4", "b4"), or an invalid size.
QPageSize PaperByName(const std::string& name) {
  const QString wanted = QString::fromStdString(name);
  for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
    const auto size = static_cast<QPageSize::PageSizeId>(id);
    if (QPageSize::key(size).compare(wanted, Qt::CaseInsensitive) == 0) return QPageSize(size);
  }
  return QPageSize();
}

// The device settings over the form: paper, orientation and margins that
// are set replace the form's.
void ApplyDeviceSettings(const CFormPrintData& device, PrintForm& form) {
  if (!device.paperName.empty()) {
    const QPageSize paper = PaperByName(device.paperName);
    if (paper.isValid()) {
      const QSizeF mm = paper.size(QPageSize::Millimeter);
      form.paperName = device.paperName;
      form.paperWidth = form.landscape ? mm.height() : mm.width();
      form.paperHeight = form.landscape ? mm.width() : mm.height();
    }
  }
  if (device.orientation == 1 || device.orientation == 2) {
    const bool landscape = device.orientation == 2;
    if (landscape != form.landscape) std::swap(form.paperWidth, form.paperHeight);
    form.landscape = landscape;
  }
  if (device.marginLeft >= 0) form.marginLeft = device.marginLeft;
  if (device.marginTop >= 0) form.marginTop = device.marginTop;
  if (device.marginRight >= 0) form.marginRight = device.marginRight;
  if (device.marginBottom >= 0) form.marginBottom = device.marginBottom;
}

constexpr const char* kNoMemory = "一覧を印刷するためのメモリーが足りません";

}  // namespace

struct CPrintMan::Run {
  CJknSet jkn;  // the pager reads them while it lays out pages
  PrintPager pager;
};

namespace {

// Paints the pages of runs on device; a long run shows its progress over
// window and may be stopped there.
int PaintWithProgress(const std::vector<const PrintPager*>& pagers, QPagedPaintDevice& device,
                      QWidget& window) {
  int total = 0;
  for (const PrintPager* pager : pagers) total += pager->PageCount();
  if (total < kProgressFromPages) return PaintPages(device, pagers, {});
  QProgressDialog progress(QStringLiteral("印刷データを作成しています"), QStringLiteral("中止"), 0,
                           total, &window);
  progress.setWindowTitle(window.windowTitle());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  return PaintPages(device, pagers, [&progress](int done, int) {
    progress.setValue(done);
    return !progress.wasCanceled();
  });
}

SYSTEMTIME Today() {
  const QDate today = QDate::currentDate();
  SYSTEMTIME st{};
  st.wYear = static_cast<uint16_t>(today.year());
  st.wMonth = static_cast<uint16_t>(today.month());
  st.wDayOfWeek = static_cast<uint16_t>(today.dayOfWeek() % 7);
  st.wDay = static_cast<uint16_t>(today.day());
  return st;
}

}  // namespace

CPrintMan::CPrintMan() = default;

CPrintMan::~CPrintMan() {
  if (ownsPageData_) delete pageData_;
  for (auto& [data, owned] : data_)
    if (owned) delete data;
}

void CPrintMan::SetFormPathList(const CFormPathList* formPathList) {
  formPathList_ = formPathList;
}

void CPrintMan::SetEnvObj(const CEnvironObj& env) {
  env_ = &env;
}

void CPrintMan::SetPrintJkn(const CJknSet& jkn) {
  jkn_ = jkn;
}

void CPrintMan::SetDeviceJkn(CFormPrintData* device) {
  device_ = device;
}

void CPrintMan::SetPrintPageData(CPrintPageDataGenba* pageData, int owned) {
  if (ownsPageData_ && pageData != pageData_) delete pageData_;
  pageData_ = pageData;
  ownsPageData_ = owned != 0;
}

void CPrintMan::AddPrintData(CPrintData* data, int owned) {
  if (data) data_.emplace_back(data, owned != 0);
}

PrintPageTexts CPrintMan::PageTexts(const CJknSet& jkn) const {
  if (pageData_) return pageData_->GetPageTexts(jkn, Today());
  PrintPageTexts texts;
  texts.title = jkn.GetTitle();
  if (jkn.IsPrintDate()) texts.printDate = FormatShortDate(Today());
  return texts;
}

int CPrintMan::LayOut() {
  return Plan(kMaxPrintRunsPerRun);
}

int CPrintMan::Plan(int64_t maxRuns) try {
  runs_.clear();
  error_.clear();
  for (auto& [data, owned] : data_) {
    PrintForm form;
    if (!data->GetForm(form, error_)) {
      // A form that is not where the data says: the form folders may hold it.
      std::string path;
      data->GetFormFile(path);
      const std::string found =
          formPathList_ && env_
              ? formPathList_->FindForm(*env_, env_->GetFileNameFromRelativePath(path))
              : std::string();
      if (found.empty() || found == path || !ReadPrintForm(found, form, error_)) return 0;
      error_.clear();
    }
    if (device_) ApplyDeviceSettings(*device_, form);
    auto run = std::make_unique<Run>();
    run->jkn = jkn_;
    data->InitJkn(run->jkn);
    if (!run->pager.Plan(form, *data, &run->jkn, PageTexts(run->jkn), error_, maxRuns)) return 0;
    maxRuns -= run->pager.Runs();
    runs_.push_back(std::move(run));
  }
  if (runs_.empty()) {
    error_ = "印刷するものがありません";
    return 0;
  }
  return 1;
} catch (const std::bad_alloc&) {
  runs_.clear();
  error_ = kNoMemory;
  return 0;
}

int CPrintMan::GetPageCount() const {
  int pages = 0;
  for (const auto& run : runs_) pages += run->pager.PageCount();
  return pages;
}

std::vector<const PrintPager*> CPrintMan::Pagers() const {
  std::vector<const PrintPager*> pagers;
  for (const auto& run : runs_) pagers.push_back(&run->pager);
  return pagers;
}

int CPrintMan::ExecPreview(QWidget* parent, const std::string& title) try {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    error_ = "印刷プレビューには QApplication が必要です";
    return -1;
  }
  InitUiLibrary();
  if (!Plan(kMaxPreviewRuns)) {
    MessageBox(parent, error_, title, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (device_) {
    if (!device_->printerName.empty())
      printer.setPrinterName(QString::fromStdString(device_->printerName));
    if (device_->copies >= 1) printer.setCopyCount(device_->copies);
  }
  printer.setPageLayout(PaperOf(runs_.front()->pager.Paper()));
  printer.setDocName(QString::fromStdString(title));

  const std::vector<const PrintPager*> pagers = Pagers();
  bool outOfMemory = false;
  QPrintPreviewDialog preview(&printer, parent);
  preview.setWindowTitle(QString::fromStdString(title));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
    if (PaintWithProgress(pagers, *target, preview) == kPaintNoMemory) outOfMemory = true;
  });
  const bool printed = preview.exec() == QDialog::Accepted;
  if (outOfMemory) {
    error_ = kNoMemory;
    MessageBox(parent, error_, title, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  if (printed && device_) {
    device_->printerName = printer.printerName().toStdString();
    device_->copies = printer.copyCount();
  }
  return printed ? 1 : 0;
} catch (const std::bad_alloc&) {
  runs_.clear();
  error_ = kNoMemory;
  return -1;
}

int CPrintMan::WritePdf(const std::string& path, const Progress& progress) try {
  // Fonts need a QGuiApplication.
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    error_ = "PDF の書き出しには QGuiApplication が必要です";
    return 0;
  }
  InitUiLibrary();
  if (!LayOut()) return 0;
  const QString name = QString::fromStdString(path);
  const QFileInfo target(name);
  if (target.exists() && !target.isFile() && !target.isDir()) {
    // A device or a FIFO (/dev/stdout, /dev/full) cannot be replaced: it is
    // written in place, and its write errors are the run's.
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return CannotWrite(path, file);
    return WritePdfTo(file, path, progress);
  }
  // A file: written beside it, synced and renamed over it only when complete.
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) return CannotWrite(path, file);
  const int result = WritePdfTo(file, path, progress);
  if (!result) {
    file.cancelWriting();
    return 0;
  }
  if (!file.commit()) return CannotWrite(path, file);
  return 1;
} catch (const std::bad_alloc&) {
  runs_.clear();
  error_ = kNoMemory;
  return 0;
}

int CPrintMan::CannotWrite(const std::string& path, const QFileDevice& file) {
  error_ = path + ": 書き込めません: " + file.errorString().toStdString();
  return 0;
}

int CPrintMan::WritePdfTo(QFileDevice& file, const std::string& path, const Progress& progress) {
  QPdfWriter writer(&file);
  writer.setCreator(QStringLiteral("VEXAFOL"));
  writer.setTitle(QString::fromStdString(jkn_.GetTitle()));
  const int total = GetPageCount();
  const int painted = PaintPages(writer, Pagers(), progress);
  if (painted == kPaintNoMemory) {
    error_ = kNoMemory;
    return 0;
  }
  // The writer ignores the results of its writes: a write that failed shows
  // in the file's error. A failed buffered write leaves a vague text there;
  // the flush repeats it and keeps the system's reason.
  const bool flushed = file.flush();
  if (painted < 0 || !flushed || file.error() != QFileDevice::NoError)
    return CannotWrite(path, file);
  if (painted < total) {
    error_ =
        std::to_string(total) + " ページ中 " + std::to_string(painted) + " ページで中止しました";
    return 0;
  }
  return 1;
}

}  // namespace vexa
