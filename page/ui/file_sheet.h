// FileSheet: the drawing sheet of the page dialog, one cell that sums up the
// drawing: application colour and title, page count, title, creator,
// updater, creation and update time, memo, a padlock that tells whether the
// drawing is in use, a warning for a missing or read-only index file, and the
// first page's preview. Everything is read in Setup; painting reads no file.
#pragma once

#include <QImage>

#include <string>

#include "vexafol/environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/ui/sx_grp_sheet.h"

namespace vexa {

class FileSheet : public SxGrpSheet {
  Q_OBJECT

 public:
  explicit FileSheet(QWidget* parent = nullptr);

  // Keeps the three (not owned; they must outlive the sheet), asks lock
  // whether the drawing is in use (IsLockZmn: by anybody, or a page below 500
  // by somebody else) and loads the preview of page 0.
  void Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env);

  // The last answer of IsLockZmn (1 in use, 0 free): at setup, then at each
  // RefreshDrawingLock.
  int IsDrawingLocked() const { return drawingLocked_; }
  // Asks IsLockZmn again and repaints the padlock when the answer changed, so
  // a drawing freed while the dialog is open can be chosen and one taken is
  // refused.
  void RefreshDrawingLock();

  // The warning shown beside the padlock for a file state: 1 a missing or
  // unreadable index file, 2 a read-only one; empty for any other state.
  static std::string FileStateWarning(int fileState);

 protected:
  void DrawRec(QPainter* painter, int row, int col, QRect* rect) override;
  // The one cell never shows a selection mark.
  void PaintSelRec(QPainter& painter, int row, int col, QRect& rect, int focused) override;
  // Activating the cell does nothing.
  int ActivateRec(int row, int col) override;
  // A drawing in use names who holds it (its drawing lock, else a page), as
  // the page padlocks do.
  void GetCellToolTip(int row, int col, std::string& text) override;

 private:
  const CEnvironObj* env_ = nullptr;
  const FolMember* member_ = nullptr;
  VexaFolderLock* lock_ = nullptr;
  int drawingLocked_ = 0;
  QImage preview_;
  // Texts of the cell, made once in Setup.
  std::string appTitle_;
  std::string pagesText_;
  std::string title_;
  std::string creator_;
  std::string updater_;
  std::string memo_;
  std::string createText_;
  std::string updateText_;
};

}  // namespace vexa
