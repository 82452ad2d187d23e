// The search dialog "検索設定" (template 29014): the user edits the selection
// dialog's search conditions. It starts from the conditions of the last run
// (the memo box and field start clear), fills the creator and updater lists
// from the drawings, ticks a condition's box when its field is changed, and
// treats Return in a field as Tab. OK with no condition ticked asks whether to
// release the search.
#pragma once

#include "vexafol/findcriteria.h"
#include "vexafol/ui/dialog_base.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vexa {

class DateField;

class NumEdit;
class VexaFolderList;

// Control ids of template 29014.
enum FindDlgControl : int {
  kIdUseNo = 29050,
  kIdNoFrom = 29051,
  kIdNoTo = 29054,
  kIdUseName = 29034,
  kIdName = 29039,
  kIdUseCreator = 29035,
  kIdCreator = 29052,
  kIdUseUpdater = 29036,
  kIdUpdater = 29053,
  kIdUseCreated = 29037,
  kIdCreatedFrom = 29061,
  kIdCreatedTo = 29062,
  kIdUseUpdated = 29038,
  kIdUpdatedFrom = 29063,
  kIdUpdatedTo = 29064,
  kIdUseMemo = 29055,
  kIdMemo = 29068,
};

class FindDlg : public DialogBase {
  Q_OBJECT

 public:
  // list fills the name lists and the number range (not owned); criteria is
  // the selection dialog's record, written only when the dialog ends with OK.
  FindDlg(const VexaFolderList* list, FindCriteria* criteria, QWidget* parent = nullptr);

  // After OK: the user confirmed that no condition means no search.
  bool IsRelease() const { return release_; }

 protected:
  bool OnInitDialog() override;
  // Return or the OK button: while another control has the focus the focus
  // moves on; otherwise the controls are read and the dialog ends with OK
  // (after the release question when no condition is ticked).
  void OnOK() override;
  void keyPressEvent(QKeyEvent* event) override;
  // Ticks a condition when the user leaves its changed number or name edit.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void FillNameLists();
  void ReadControls();

  const VexaFolderList* list_;
  FindCriteria* criteria_;
  // The conditions being edited: the record's, with the number range of the
  // list when the number condition is off.
  FindCriteria edited_;
  bool release_ = false;

  QCheckBox* useNo_;
  NumEdit* noFrom_;
  NumEdit* noTo_;
  QCheckBox* useName_;
  QLineEdit* name_;
  QCheckBox* useCreator_;
  QComboBox* creator_;
  QCheckBox* useUpdater_;
  QComboBox* updater_;
  QCheckBox* useCreated_;
  DateField* createdFrom_;
  DateField* createdTo_;
  QCheckBox* useUpdated_;
  DateField* updatedFrom_;
  DateField* updatedTo_;
  QCheckBox* useMemo_;
  QPlainTextEdit* memo_;
};

}  // namespace vexa
