// The exported selection functions: permission check, folder list, the
// dialog of the kind, and the dialog's choice turned into paths.
#include <memory>
#include <new>

#include "select/ui/file_dlg_base.h"
#include "select/ui/list_loading.h"
#include "vexafol/dialogs.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/folderlist.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"
#include "vexafol/senyou_ids.h"
#include "vexafol/ui/set_instance.h"

namespace vexa {
namespace {

enum class Outcome { kRefused, kFailed, kCancelled, kConfirmed, kSwitched };

// Loads the list for the filter; when that finds nothing the select and
// delete kinds show every application instead (the write kind keeps the
// requested application so that its free number 1 can be chosen). A long
// load shows its progress and may be cancelled: false then.
bool LoadForKind(QWidget* parent, VexaFolderList& list, int appFilter, int kind) {
  return LoadListsWithProgress(parent, [&list, appFilter, kind] {
    list.Load(appFilter, 0);
    if (list.GetFolderNum() == 0 && kind != kModeWrite) list.Load(-1, 0);
  });
}

// The drawing number the cursor starts on: the extension number of the first
// path's directory ("…/Fol.005/pagefile.000" -> 5), 0 without one.
int InitialNumber(const CEnvironObj& env, const std::vector<std::string>& paths) {
  return paths.empty() ? 0 : DrawingNumberOf(env, env.GetDirNameFromRelativePath(paths.front()));
}

// The page file of page in the drawing folder.
std::string PageFilePath(const CEnvironObj& env, const std::string& folder, int page) {
  std::string path = folder;
  CreateIndexFileName(env, path);
  CreatePageName(env, path, page);
  return path;
}

// The path handed back for one selected key; empty to skip it.
std::string ResultPath(const CEnvironObj& env, const FileDlgBase& dialog, int key, int kind,
                       int appFilter) {
  if (const FolMember* member = dialog.GetSelectedMember(key)) {
    if (dialog.GetPageNo() >= 0) return PageFilePath(env, member->path, dialog.GetPageNo());
    return member->path;
  }
  if (kind != kModeWrite) return "";
  // A free number of the write kind: the folder the new drawing goes to.
  std::string path = GetSenyouPath(env, appFilter);
  CreateDrawingFolderPath(env, path, key + 1);
  return path;
}

std::unique_ptr<FileDlgBase> MakeDialog(int kind, VexaFolderList& list, QWidget* parent,
                                        int initialNo, int multiSelect,
                                        const CFormPathList* formPathList, CJknMan* condMan,
                                        CFormPrintData* printData, int altFlag) {
  switch (kind) {
    case kModeOpen:
      return std::make_unique<FileSelDlg>(&list, parent, initialNo, multiSelect, formPathList,
                                          condMan, printData, altFlag);
    case kModeWrite:
      return std::make_unique<FileAddDlg>(&list, parent, initialNo);
    case kModeDelete:
      return std::make_unique<FileDelDlg>(&list, parent, initialNo);
    default:
      return nullptr;
  }
}

// The array form and SelectFolderName2: offerSwitch shows "図面管理切替".
Outcome RunSelection(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                     std::vector<std::string>& paths, const CFormPathList* formPathList,
                     CJknMan* condMan, CFormPrintData* printData, int multiSelect, int altFlag,
                     bool offerSwitch) try {
  const int kind = mode & kModeKindMask;
  if (!env.IsOpeAllowed(kind == kModeDelete ? kOpeDeleteDrawing : kOpeSelectDrawing)) {
    return Outcome::kRefused;
  }
  CSetInstance resources;
  VexaFolderList list(env);
  if (!LoadForKind(parent, list, appFilter, kind)) return Outcome::kCancelled;
  const int initialNo = InitialNumber(env, paths);
  paths.clear();

  std::unique_ptr<FileDlgBase> dialog = MakeDialog(kind, list, parent, initialNo, multiSelect,
                                                   formPathList, condMan, printData, altFlag);
  if (!dialog) return Outcome::kFailed;
  dialog->SetKindWord(mode & kModeKindWordMask);
  dialog->SetFlagWord(mode & kModeFlagWordMask);
  if (offerSwitch) dialog->SetSwitchState(1);
  if (const FindCriteria* search = ScopedStartSearch::Current()) dialog->StartWithSearch(*search);
  if (dialog->DoModal() != IDOK) return Outcome::kCancelled;
  if (offerSwitch && dialog->GetSwitchState() == 2) return Outcome::kSwitched;

  for (int key : dialog->GetSelKeys()) {
    std::string path = ResultPath(env, *dialog, key, kind, appFilter);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return Outcome::kConfirmed;
} catch (const std::bad_alloc&) {
  return Outcome::kFailed;  // out of memory: no exception leaves the library
}

// The command that opens path in the application of member.
std::string CommandLine(const CEnvironObj& env, const FolMember& member, const std::string& path) {
  const unsigned long hostKind = env.GetAppType();
  const std::string developmentFolder = GetSenyouPath(env, kAppDevelopment);
  const bool inDevelopmentFolder =
      !developmentFolder.empty() && member.path.find(developmentFolder) != std::string::npos;
  std::string executable = env.GetPath(kPathExecutables);
  env.AddFileName(executable,
                  hostKind == kHostKindCivil || hostKind == kHostKindAppB || inDevelopmentFolder
                      ? "APPB.EXE"
                      : "VEXA.EXE");
  const std::string module = member.appId == kAppCivil && hostKind != kHostKindCivil
                                 ? std::string("APPA.DLL ASSIST")
                                 : GetSenyouDLL(member.appId);
  return "\"" + executable + "\" " + module + " " + path;
}

}  // namespace

int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                     std::vector<std::string>& paths, const CFormPathList* formPathList,
                     CJknMan* condMan, CFormPrintData* printData, int multiSelect) {
  const Outcome outcome = RunSelection(parent, env, mode, appFilter, paths, formPathList, condMan,
                                       printData, multiSelect, 0, false);
  if (outcome == Outcome::kConfirmed) return 1;
  if (outcome != Outcome::kRefused) paths.clear();
  return 0;
}

int SelectFolderName2(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                      std::vector<std::string>& paths, const CFormPathList* formPathList,
                      CJknMan* condMan, CFormPrintData* printData, int multiSelect, int altFlag) {
  switch (RunSelection(parent, env, mode, appFilter, paths, formPathList, condMan, printData,
                       multiSelect, altFlag, true)) {
    case Outcome::kRefused:
      return 0;
    case Outcome::kConfirmed:
      return 1;
    case Outcome::kSwitched:
      return 255;
    case Outcome::kFailed:
    case Outcome::kCancelled:
      break;
  }
  paths.clear();
  return 2;
}

int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                     std::string* path, const CFormPathList* formPathList, CJknMan* condMan,
                     CFormPrintData* printData) try {
  std::vector<std::string> paths;
  if (path) paths.push_back(*path);
  const int result =
      SelectFolderName(parent, env, mode, appFilter, paths, formPathList, condMan, printData, 1);
  if (path) {
    if (result != 0 && !paths.empty()) *path = paths.front();
    if (result == 0) path->clear();
  }
  return result;
} catch (const std::bad_alloc&) {
  if (path) path->clear();
  return 0;
}

int SelectFolderName(QWidget* parent, const CEnvironObj& env, int mode, int appFilter,
                     std::string* path) {
  return SelectFolderName(parent, env, mode, appFilter, path, nullptr, nullptr, nullptr);
}

int SelectFolderName(QWidget* parent, const CEnvironObj& env, int appFilter, std::string* path,
                     std::string* commandLine, const CFormPathList* formPathList, CJknMan* condMan,
                     CFormPrintData* printData) try {
  if (!env.IsOpeAllowed(kOpeSelectDrawing)) return 0;
  CSetInstance resources;
  auto cancelled = [path, commandLine] {
    if (path) path->clear();
    if (commandLine) commandLine->clear();
    return 0;
  };
  VexaFolderList list(env);
  if (!LoadForKind(parent, list, appFilter, kModeOpen)) return cancelled();

  FileSelDlg dialog(&list, parent, 0, 1, formPathList, condMan, printData, 0);
  if (const FindCriteria* search = ScopedStartSearch::Current()) dialog.StartWithSearch(*search);
  if (dialog.DoModal() != IDOK) return cancelled();
  for (int key : dialog.GetSelKeys()) {
    const FolMember* member = dialog.GetSelectedMember(key);
    if (!member) continue;
    std::string file = member->path;
    CreateIndexFileName(env, file);
    if (dialog.GetPageNo() >= 0) CreatePageName(env, file, dialog.GetPageNo());
    if (file.empty()) continue;
    if (path) *path = file;
    if (commandLine) *commandLine = CommandLine(env, *member, file);
  }
  return 1;
} catch (const std::bad_alloc&) {
  if (path) path->clear();
  if (commandLine) commandLine->clear();
  return 0;
}

int SelectFolderName(QWidget* parent, const CEnvironObj& env, int appFilter, std::string* path,
                     std::string* commandLine) {
  return SelectFolderName(parent, env, appFilter, path, commandLine, nullptr, nullptr, nullptr);
}

}  // namespace vexa
