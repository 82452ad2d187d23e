// Driving the selection dialog in tests as a user would, once an
// Answer<FileDlgBase> finds it in its modal loop: marking records, pressing
// its buttons, recording the message boxes it shows (answered by a hook, no
// window), and drawings locked by another process.
#pragma once

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "select/ui/file_dlg_base.h"
#include "tests/support/child_process.h"
#include "tests/support/when_shown.h"
#include "vexafol/folderlock.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/message_box.h"

namespace vexa::test {

// Clicks control id with the mouse (which gives it the focus, as on screen).
inline void ClickControl(DialogBase& dialog, int id) {
  auto* button = dialog.Item<QAbstractButton>(id);
  button->setFocus();
  QTest::mouseClick(button, Qt::LeftButton);
}

// Marks the records in the given order, as Ctrl+clicks would.
inline void MarkRows(FileSelSheet& sheet, const std::vector<int>& rows) {
  sheet.selectionModel()->clearSelection();
  for (int row : rows) {
    sheet.selectionModel()->select(sheet.model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

// Puts the cursor on the first of the drawings (numbers of appId), marks
// them in order and presses OK.
inline void ConfirmDrawings(FileDlgBase& dialog, const std::vector<int>& numbers, int appId = 0x1) {
  std::vector<int> rows;
  for (int number : numbers) rows.push_back(dialog.GetSheet()->FindRecord(number - 1, appId));
  dialog.GetSheet()->JumpTo(rows.front(), 1);
  MarkRows(*dialog.GetSheet(), rows);
  ClickControl(dialog, IDOK);
}

// For a HoldingChild: locks the drawing folder in the child, where the lock
// object lives until the child ends.
inline std::function<bool()> LockDrawing(const CEnvironObj& env, std::string folder) {
  return [&env, folder] { return (new VexaFolderLock(&env))->LockZmn(folder.c_str()) != 0; };
}

struct ShownMessage {
  std::string text;
  std::string title;
  unsigned type;
};

// Records every message box and answers them from a list (IDOK when it runs
// out).
class MessageRecorder {
 public:
  explicit MessageRecorder(std::vector<int> answers = {})
      : answers_(std::move(answers)),
        hook_([this](QWidget*, const std::string& text, const std::string& title, unsigned type) {
          shown.push_back({text, title, type});
          return shown.size() <= answers_.size() ? answers_[shown.size() - 1] : IDOK;
        }) {}
  std::vector<ShownMessage> shown;

  // Every message so far as "title/text/type".
  std::vector<std::string> Described() const {
    std::vector<std::string> texts;
    for (const ShownMessage& m : shown)
      texts.push_back(m.title + "/" + m.text + "/" + std::to_string(m.type));
    return texts;
  }

 private:
  std::vector<int> answers_;
  ScopedMessageBoxHook hook_;
};

}  // namespace vexa::test
