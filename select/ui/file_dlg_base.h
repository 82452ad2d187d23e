// The drawing selection dialog (template 29003): a toolbar along the top, the
// application filter, the drawing grid and the info panel. FileDlgBase owns
// the window, the toolbar, the grid, the info panel, the window size and the
// result of the choice; its kinds decide the caption, the buttons shown and
// what confirming means:
//   FileSelDlg     choose drawings to open
//   FileAddDlg     choose a number to write to (free numbers included)
//   FileDelDlg     delete drawings (its OK is the delete command)
//   RestoreSelDlg  choose a deleted drawing or a backup to bring back
//
// Result of the choice, read by the creator after DoModal returned IDOK:
// GetSelKeys (member keys in the order the user marked them), GetPageNo (-1
// when no page was chosen); GetSelectedMember turns a key into its drawing.
#pragma once

#include <QRect>

#include <memory>
#include <vector>

#include "select/ui/file_info_dlg_ids.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folderlist.h"
#include "vexafol/print.h"
#include "vexafol/ui/dialog_base.h"
#include "vexafol/ui/resource_ids.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vexa {

class BitButton;
class FileInfoDlg;
class FileSelSheet;

// Control ids of template 29003.
enum FileDlgControl : int {
  kIdPageList = 29006,
  kIdDelete = 29007,
  kIdRestore = 29008,
  kIdBackup = 29010,
  kIdSearch = kFileDlgSearchButton,
  kIdClearSearch = 29055,
  kIdDisplayItems = 29065,
  kIdPrint = 29072,
  kIdSwitch = 29073,
  kIdAppCombo = 29019,
  kIdSheet = 29064,
  kIdBackupLegend = 25000,
};

class FileDlgBase : public DialogBase {
  Q_OBJECT

 public:
  // A dialog over list (not owned; it must outlive the dialog). initialNo:
  // the drawing number the cursor starts on (0: the first record).
  // multiSelect non-zero lets the user mark several records. The print
  // context is only handed on; the print button is shown when formPathList
  // and condMan are both given.
  FileDlgBase(VexaFolderList* list, QWidget* parent, int initialNo, int multiSelect,
              const CFormPathList* formPathList, CJknMan* condMan, CFormPrintData* printData);
  // Stores the display settings and the window size for the next dialog.
  ~FileDlgBase() override;

  // Set by the creator before DoModal: the kind word and the flag word of the
  // mode word (vexafol/dialog_mode.h), and 1 to offer the "図面管理切替" button.
  void SetKindWord(int kindWord) { kindWord_ = kindWord; }
  void SetFlagWord(int flagWord) { flagWord_ = flagWord; }
  void SetSwitchState(int state) { switchState_ = state; }
  int GetKindWord() const { return kindWord_; }
  // 2 after the "図面管理切替" button ended the dialog.
  int GetSwitchState() const { return switchState_; }

  // The choice: member keys in marking order, the chosen page (-1: none).
  const std::vector<int>& GetSelKeys() const { return selKeys_; }
  int GetPageNo() const { return pageNo_; }
  // The key of the record under the cursor at the last confirm.
  int GetCurrentKey() const { return currentKey_; }
  // The drawing of a selected key: through the grid (source 0) or at that
  // sorted position of the restore list (source 1); null for none.
  const FolMember* GetSelectedMember(int key) const;

  FileSelSheet* GetSheet() const { return sheet_; }
  FileInfoDlg* GetInfoPanel() const { return infoPanel_; }

  // Set by the creator before DoModal: the grid starts searched by criteria,
  // as after the search command.
  void StartWithSearch(const FindCriteria& criteria);

 protected:
  // Called by the kinds' constructors: takes the grid as control 29064 and
  // loads the display settings and the last window size.
  void AttachSheet(FileSelSheet* sheet);

  bool OnInitDialog() override;
  // Runs Confirm only while the OK button itself has the focus: Return in
  // another control does not end the dialog.
  void OnOK() override;
  // The kind's caption and buttons, at the end of the initialisation.
  virtual void InitKind() = 0;
  // Validates the choice and ends the dialog with OK, or stays open.
  virtual void Confirm() = 0;

  // The common first steps of Confirm: the cursor's key and the marked keys
  // in marking order.
  void ReadChoice();
  // Ends the dialog with OK (the data exchange first).
  void EndWithOK() { DialogBase::OnOK(); }
  // Hides control id; moves the delete button onto the OK button.
  void HideControl(int id);
  void MoveDeleteOntoOK();
  // Deletes the drawing under the cursor into the recycle folder after the
  // permission check, the refusals and the question (No is the default);
  // then reloads the list, keeping an active search, or ends the dialog as
  // cancelled when no drawing is left.
  void OnDelete();

  void resizeEvent(QResizeEvent* event) override;

  VexaFolderList* list_;
  std::unique_ptr<VexaFolderList> restoreList_;
  int currentKey_ = 0;
  int pageNo_ = -1;
  int kindWord_ = 0;
  int flagWord_ = 0;
  FileSelSheet* sheet_ = nullptr;
  FileInfoDlg* infoPanel_ = nullptr;
  int selectSource_ = 0;
  FindCriteria criteria_;
  std::vector<int> items_;
  int itemCount_ = 0;
  std::vector<int> selKeys_;
  int lastSizeX_ = 0;
  int lastSizeY_ = 0;
  const CFormPathList* formPathList_;
  CJknMan* condMan_;
  CFormPrintData* printData_;
  int initialNo_;
  int multiSelect_;
  int switchState_ = 0;
  bool startSearch_ = false;

 private:
  // Shows whether a search is active beside the application filter.
  void ShowSearchState();
  void BuildControls();
  void FillAppCombo();
  // Places the info panel and the grid in the client area and rebuilds the
  // columns; records the size.
  void Layout();
  void ApplyMinimumSize();
  void OnAppFilterChanged(int index);
  // Restoring a deleted drawing / a backup of the current drawing: the
  // recycled or backup folders in a second list, chosen in a RestoreSelDlg on
  // top of this one; the choice becomes this dialog's (selection source 1).
  void OnRestore();
  void OnBackupRestore();
  void RunRestoreDialog();
  // The search command: the search dialog over the dialog's conditions, then
  // the grid searched by them (or every drawing when the user released the
  // search or nothing matches).
  void OnSearch();
  void ApplyCriteria();
  // The page list of the drawing under the cursor: a page chosen there ends
  // this dialog with OK at once, past the checks of Confirm.
  void OnPageList();
  void OnDisplayItems();
  void OnSwitch();
  // Prints the drawings of the grid's records as a list.
  void OnPrint();

  QPushButton* okButton_ = nullptr;
  QComboBox* appCombo_ = nullptr;
  QLabel* searchState_ = nullptr;
  std::vector<BitButton*> toolbar_;
};

class FileSelDlg : public FileDlgBase {
  Q_OBJECT

 public:
  // altFlag non-zero: caption "図面選択" and a locked drawing may be chosen.
  FileSelDlg(VexaFolderList* list, QWidget* parent, int initialNo, int multiSelect,
             const CFormPathList* formPathList, CJknMan* condMan, CFormPrintData* printData,
             int altFlag);

 protected:
  void InitKind() override;
  // Refuses, in this order: no drawing at all, the page-only flag kModePageOnly, a
  // locked drawing under the cursor (unless altFlag).
  void Confirm() override;

 private:
  int altFlag_;
};

class FileAddDlg : public FileDlgBase {
  Q_OBJECT

 public:
  FileAddDlg(VexaFolderList* list, QWidget* parent, int initialNo);

 protected:
  void InitKind() override;
  // For each marked drawing in marking order: refuses a locked one, asks
  // before overwriting any other; free numbers pass.
  void Confirm() override;
};

class FileDelDlg : public FileDlgBase {
  Q_OBJECT

 public:
  FileDelDlg(VexaFolderList* list, QWidget* parent, int initialNo);

 protected:
  void InitKind() override;
  // Confirming (the delete button, Return or a double click in the grid)
  // deletes the current drawing; the dialog ends only with Cancel or when the
  // last drawing is gone.
  void Confirm() override;
};

class RestoreSelDlg : public FileDlgBase {
  Q_OBJECT

 public:
  RestoreSelDlg(VexaFolderList* list, QWidget* parent);

 protected:
  void InitKind() override;
  // As FileSelDlg, with the lock check always applied.
  void Confirm() override;
};

}  // namespace vexa
