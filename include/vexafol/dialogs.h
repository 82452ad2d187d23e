// The dialog functions of the library in one include: the drawing selection
// dialog, in which the user picks drawings to open, a number to write to, or
// drawings to delete, and the page dialog, in which the user picks the page
// of one drawing to edit. Each call checks the user's right to the operation,
// loads the drawings itself, runs the dialog modally over parent and destroys
// everything it made before it returns; only user settings and files survive.
//
// Mode word (the array and single-path forms; vexafol/dialog_mode.h names
// its parts and says how each is compared):
//   mode & kModeKindMask  kind: kModeOpen choose drawings to open, kModeWrite
//                choose a number to write to, kModeDelete delete drawings,
//                kModeNoDialog no dialog (the call fails at once)
//   kModePageOnly  a bit of the flag word: only a page file may be chosen
//                (through the page list)
//   kModeViewOnly  the whole flag word (mode & kModeFlagWordMask == 0x40): the
//                page list only views
// Application filter: a mask of application ids (senyou.h); -1 for all.
// Result paths: the drawing folder ("…/Fol.007"); the page file
// ("…/Fol.007/pagefile.002") when a page was chosen; in the write kind, for a
// free number, the application folder of the filter plus "Fol.%03d".
//
// Call from the thread that owns the QApplication. The print context
// (print.h) is only handed on to the drawing-list printing; null pointers
// leave the print button out.
#pragma once

#include <string>
#include <vector>

#include "vexafol/dialog_mode.h"
#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/print.h"
#include "vexafol/recycle.h"

class QWidget;

namespace vexa {

// Permission codes asked of env.IsOpeAllowed before a dialog opens (the
// delete kind asks kOpeDeleteDrawing of recycle.h).
inline constexpr unsigned long kOpeSelectDrawing = 0x1e0200;

// Array form. The first string of paths, when there is one, names the drawing
// the cursor starts on (the extension number of its directory: "…/Fol.005/
// pagefile.000" starts on drawing 5). Returns 1 when the user confirmed:
// paths holds the result paths in the order the user marked the drawings (it
// may be empty). Returns 0 when refused (paths untouched), cancelled or failed
// (paths emptied). multiSelect non-zero lets the user mark several drawings.
VEXA_UI_API int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                                 std::vector<std::string>& paths, const CFormPathList* formPathList,
                                 CJknMan* condMan, CFormPrintData* printData, int multiSelect);

// As the array form, with the "図面管理切替" button offered. altFlag non-zero
// (kind 0) titles the dialog "図面選択" and lets a locked drawing be chosen.
// Returns 1 confirmed, 255 when the user pressed "図面管理切替" (paths empty),
// 2 cancelled or failed (paths emptied), 0 refused (paths untouched).
VEXA_UI_API int SelectFolderName2(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                                  std::vector<std::string>& paths,
                                  const CFormPathList* formPathList, CJknMan* condMan,
                                  CFormPrintData* printData, int multiSelect, int altFlag);

// Single-path form: *path (when path is not null) names the starting drawing
// and receives the first result path; it is emptied when the result is 0.
// Results as the array form (several drawings may be marked; the first wins).
VEXA_UI_API int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                                 std::string* path, const CFormPathList* formPathList,
                                 CJknMan* condMan, CFormPrintData* printData);
VEXA_UI_API int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                                 std::string* path);

// Path-and-command-line form: choose a drawing to open (kind 0). On 1, *path
// is the drawing's index file ("…/Fol.007/INDEX.VXF", or the chosen page
// file) and *commandLine the command that opens it:
//   "<executables folder>/VEXA.EXE" <module> <path>
// ("APPB.EXE" for host kinds 2 and 3 and for drawings of application
// 0x2000; module "APPA.DLL ASSIST" for application 0x1000 outside host kind 2,
// else the application's module). With several marked drawings the last one
// wins. On 0 both are emptied, unless the permission was refused (untouched).
// Null pointers are skipped.
VEXA_UI_API int SelectFolderName(QWidget* parent, const CEnvironObj& env, int appFilter,
                                 std::string* path, std::string* commandLine,
                                 const CFormPathList* formPathList, CJknMan* condMan,
                                 CFormPrintData* printData);
VEXA_UI_API int SelectFolderName(QWidget* parent, const CEnvironObj& env, int appFilter,
                                 std::string* path, std::string* commandLine);

// Search conditions for the selection dialogs that the functions above open
// while an object of this class lives (the innermost one wins): each dialog
// searches its drawings with them before it shows, as its search button does,
// so the grid starts with the drawings that meet them and the search dialog
// starts from them. When no drawing meets them the dialog says so, as after a
// search, and shows every drawing. For the thread that owns the QApplication.
class VEXA_UI_API ScopedStartSearch {
 public:
  explicit ScopedStartSearch(const FindCriteria& criteria);
  ~ScopedStartSearch();
  ScopedStartSearch(const ScopedStartSearch&) = delete;
  ScopedStartSearch& operator=(const ScopedStartSearch&) = delete;

  // The conditions of the innermost living object; null when there is none.
  static const FindCriteria* Current();

 private:
  FindCriteria criteria_;
  const ScopedStartSearch* previous_;
};

// The page dialog "ﾍﾟｰｼﾞの一覧" over the drawing member: the user picks the
// page to edit. Returns the page number, counted from 0 like the page files
// "pagefile.%03d", or -1 (cancelled, closed, nothing chosen; also when member
// or lock is null). A page locked through lock (by anybody, this service
// included), or any page of a drawing in use, is refused with a message.
// Lock states and pages are read once when the dialog opens; it takes no
// lock. mode: kind word mode & kModeKindWordMask and flag word mode &
// kModeFlagWordMask, each compared whole: flag word kModeViewOnly only views
// (nothing can be chosen), kind word kModeDelete hides the draw button but
// lets a double-clicked page be chosen.
VEXA_UI_API int SelectPageName(QWidget* parent, const CEnvironObj& env, int mode,
                               const FolMember* member, VexaFolderLock* lock);

}  // namespace vexa
