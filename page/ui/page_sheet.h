// PageSheet: the page sheet of the page dialog, one cell per page, four to a
// row: the page number and caption, a padlock that tells whether the page is
// being edited, the page's name, the size of its page file and its preview.
// Everything is read in Setup; painting reads no file.
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/store_layout.h"
#include "vexafol/ui/sx_grp_sheet.h"

class QTimer;

namespace vexa {

class PageSheet : public SxGrpSheet {
  Q_OBJECT

 public:
  // Pages in a row of the sheet.
  static constexpr int kColumns = 4;
  // Page files are numbered with three digits: a header that claims more
  // pages (a damaged one) shows this many.
  static constexpr int kMaxPages = kMaxPageCount;
  // Page states: the page file could not be opened (no preview is drawn), or
  // it is read-only.
  static constexpr int kStateNoFile = 1;
  static constexpr int kStateReadOnly = 2;

  // What the sheet read of one page, and the texts its cell shows.
  struct Page {
    int32_t version = 100;
    std::string name;
    std::string subName;
    std::string caption;
    double size = 0;
    int locked = 0;
    int state = 0;
    QImage preview;
    std::string headerText;  // "%ld:" and the caption
    std::string sizeText;
  };

  explicit PageSheet(QWidget* parent = nullptr);

  // Reads every page of the drawing's header: its page file's information,
  // size and state, whether somebody holds its page lock (IsLockPage), its
  // preview. progress(read, count), when given, is called after each page;
  // answering false stops the reading (the pages read so far are returned).
  // Uses no widget, so a worker thread may read while nothing else uses lock
  // and env.
  static std::vector<Page> ReadPages(const FolMember& member, VexaFolderLock& lock,
                                     const CEnvironObj& env,
                                     const std::function<bool(int read, int count)>& progress = {});

  // Keeps the three (not owned; they must outlive the sheet) and the pages
  // ReadPages gave for them.
  void Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env,
             std::vector<Page> pages);
  // The same, reading the pages here.
  void Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env);

  // The pages read (the header's page count, 0 when negative, at most
  // kMaxPages).
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // The page in cell (row, col), or -1 for a cell that holds none.
  int PageAt(int row, int col) const;
  // The answer of IsLockPage for page at setup (1 for a page out of range).
  int IsPageLocked(int page) const;
  // What was read of page; null out of range.
  const Page* GetPage(int page) const;

  // The size text of a page file of size bytes: "%.3lf ﾊﾞｲﾄ" below 1024,
  // "%.2lf KB" below 1048576, else "%.2lf MB".
  static std::string SizeText(double size);

 signals:
  // The user activated a page cell (double click or Return): the dialog's
  // draw command.
  void pageActivated();
  // The timer asked the page locks again; the drawing sheet asks the drawing
  // lock with it, so both padlocks follow one survey.
  void locksSurveyed();

 protected:
  void DrawRec(QPainter* painter, int row, int col, QRect* rect) override;
  // Only cells that hold a page can be selected.
  int SelectRec(int row, int col) override;
  int ActivateRec(int row, int col) override;
  // The tool tip of a page in use names who holds it.
  void GetCellToolTip(int row, int col, std::string& text) override;

 private:
  const CEnvironObj* env_ = nullptr;
  const FolMember* member_ = nullptr;
  VexaFolderLock* lock_ = nullptr;
  std::vector<Page> pages_;
  // Asks IsLockPage of every page again on a timer while the sheet is shown,
  // and repaints the padlocks that changed (page_sheet_locks.cpp).
  void StartLockWatch();
  void OnLockWatch();
  QTimer* lockWatch_ = nullptr;
};

}  // namespace vexa
