// The page dialog (template 29002, "ﾍﾟｰｼﾞの一覧"): the drawing sheet on top,
// the page sheet below it, and the draw button "ページ製図" that chooses the
// selected page. A page that is being edited, or any page of a drawing in
// use, is refused with "このページは編集中です。". The lock states, page data
// and pictures are read once while the dialog opens (by RunPageDialog on a
// worker thread before it, behind a loading window when that takes long).
//
// Mode word (vexafol/dialog_mode.h): the kind word and the flag word, each
// compared as a whole. Flag word kModeViewOnly only views: the draw button is
// hidden and nothing can be chosen. Kind word kModeDelete hides the draw
// button, yet a page activated in the page sheet is still chosen. Every other
// value leaves the dialog as it is.
#pragma once

#include <optional>
#include <vector>

#include "page/ui/page_sheet.h"
#include "vexafol/environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/ui/dialog_base.h"

namespace vexa {

class BitButton;
class FileSheet;

// Control ids of template 29002.
enum PageDlgControl : int {
  kIdDrawPage = 29008,
};

// A rectangle of the template, in dialog units.
struct TemplateRect {
  int x, y, width, height;
};
// Where the template puts the drawing sheet and the page sheet.
inline constexpr TemplateRect kDrawingSheetRect{7, 22, 364, 86};
inline constexpr TemplateRect kPageSheetRect{7, 113, 364, 255};

class PageDlg : public DialogBase {
  Q_OBJECT

 public:
  // A dialog over member, asking lock; neither is owned and both must
  // outlive the dialog.
  PageDlg(QWidget* parent, const CEnvironObj* env, const FolMember* member, VexaFolderLock* lock,
          int mode);

  // Pages read before the dialog (PageSheet::ReadPages), so that its
  // initialisation reads none; without them it reads them itself.
  void SetPages(std::vector<PageSheet::Page> pages) { pages_ = std::move(pages); }

  // The chosen page, -1 until one is chosen.
  int GetResult() const { return result_; }
  FileSheet* GetFileSheet() const { return fileSheet_; }
  PageSheet* GetPageSheet() const { return pageSheet_; }

 protected:
  bool OnInitDialog() override;

 private:
  // The draw button, or a page activated in the page sheet: the selected
  // page ends the dialog with OK unless it or the drawing is in use.
  void ChoosePage();

  BitButton* drawButton_ = nullptr;
  const CEnvironObj* env_;
  const FolMember* member_;
  VexaFolderLock* lock_;
  FileSheet* fileSheet_ = nullptr;
  PageSheet* pageSheet_ = nullptr;
  std::optional<std::vector<PageSheet::Page>> pages_;
  int result_ = -1;
  int kindWord_;
  int flagWord_;
};

// Runs the page dialog modally over parent: the chosen page (0 or more), or
// -1 (cancelled, closed, nothing chosen, or member or lock null).
int RunPageDialog(QWidget* parent, const CEnvironObj& env, int mode, const FolMember* member,
                  VexaFolderLock* lock);

}  // namespace vexa
