// CPrintMan: the print manager of the host's form printing framework. It is
// set up with the form folders, the environment, the print conditions and the
// device settings, is handed the page data and one or more print data, lays
// out each print data with its form and paints the pages with Qt: in a print
// preview from which the user prints (needs a QApplication), or into a PDF
// file (needs a QGuiApplication; no window is shown).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexafol/export.h"
#include "vexafol/print.h"

class QFileDevice;
class QWidget;

namespace vexa {

// The most texts, lines and boxes a print preview shows in all: Qt's preview
// keeps every page as recorded paint commands, about 5 KB a text (the
// standard form's 10,989 drawings, some 130,000, take 700 MB and 46 s), so a
// run beyond this is refused there; a PDF holds one page at a time and takes
// up to kMaxPrintRunsPerRun.
inline constexpr int64_t kMaxPreviewRuns = 200000;

class VEXA_UI_API CPrintMan {
 public:
  CPrintMan();
  ~CPrintMan();
  CPrintMan(const CPrintMan&) = delete;
  CPrintMan& operator=(const CPrintMan&) = delete;

  // Folders in which a form whose file is missing is looked for by its name
  // (not owned; may be null).
  void SetFormPathList(const CFormPathList* formPathList);
  // The host's environment (not owned; must outlive the manager's runs).
  void SetEnvObj(const CEnvironObj& env);
  // The print conditions of the run (copied).
  void SetPrintJkn(const CJknSet& jkn);
  // Device settings: printer, paper, orientation, copies, margins (not owned;
  // may be null: the form decides). A preview that printed keeps the printer
  // and the copies the user chose in them.
  void SetDeviceJkn(CFormPrintData* device);
  // The page data whose site information every page shows; owned non-zero:
  // the manager deletes it.
  void SetPrintPageData(CPrintPageDataGenba* pageData, int owned);
  // A print data to print after those added before; owned non-zero: the
  // manager deletes it.
  void AddPrintData(CPrintData* data, int owned);

  // Plans the pages of every print data (PrintPager): counts them and checks
  // the run's bounds; the pages are laid out one at a time as they are
  // painted. Returns 1, or 0 with GetLastError set (a form that cannot be
  // read, does not fit its data or asks for too much).
  int LayOut();
  // The pages of the last LayOut, of all print data.
  int GetPageCount() const;
  // The error of the last failed call, in Japanese ("<form>:<line>: <what>").
  const std::string& GetLastError() const { return error_; }

  // Called after each painted page with the pages done and the page count;
  // false stops painting.
  using Progress = std::function<bool(int done, int total)>;

  // Lays out and shows the pages in a modal print preview titled title over
  // parent, from which the user prints; a progress dialog follows long
  // runs. A run beyond kMaxPreviewRuns is refused as one that cannot be laid
  // out. Returns 1 when the user printed, 0 when the preview was closed, -1
  // when the pages could not be laid out (the error is shown in a message
  // box titled title). Neither this nor any other call throws: without
  // memory for a run they fail with GetLastError set.
  int ExecPreview(QWidget* parent, const std::string& title);
  // Lays out and writes the pages into the PDF file path (fonts embedded)
  // without a window. A file is written beside path and renamed over it when
  // complete and synced, so a run that fails or that progress stopped leaves
  // whatever was at path; a device or FIFO at path is written in place.
  // Returns 1, or 0 with GetLastError set ("<path>: 書き込めません: <why>"
  // when the file system refuses a write, a full disk included).
  int WritePdf(const std::string& path, const Progress& progress = {});

 private:
  struct Run;  // the print conditions and the pages of one print data

  // LayOut with a bound on the run's texts, lines and boxes.
  int Plan(int64_t maxRuns);
  PrintPageTexts PageTexts(const CJknSet& jkn) const;
  std::vector<const PrintPager*> Pagers() const;
  // Writes the planned pages as a PDF into file, open for writing.
  int WritePdfTo(QFileDevice& file, const std::string& path, const Progress& progress);
  // 0, with the error of file's last write.
  int CannotWrite(const std::string& path, const QFileDevice& file);

  const CFormPathList* formPathList_ = nullptr;
  const CEnvironObj* env_ = nullptr;
  CJknSet jkn_;
  CFormPrintData* device_ = nullptr;
  CPrintPageDataGenba* pageData_ = nullptr;
  bool ownsPageData_ = false;
  std::vector<std::pair<CPrintData*, bool>> data_;
  std::vector<std::unique_ptr<Run>> runs_;
  std::string error_;
};

}  // namespace vexa
