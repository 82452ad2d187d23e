// Driving the selection dialog in tests as a user would: finding it once its
// modal loop runs, marking records, pressing its buttons, and recording the
// message boxes it shows (answered by a hook, no window).
#pragma once

#include <QApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "select/ui/file_dlg_base.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/message_box.h"

namespace vexa::test {

// The visible selection dialog, or null.
inline FileDlgBase* FindSelectionDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<FileDlgBase*>(widget);
    if (dialog && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

// Runs act on the selection dialog once its modal loop runs. A dialog that
// act leaves open is cancelled, so a failing test cannot hang. *seen tells
// whether a dialog was there at all.
inline void WhenDialogShown(std::function<void(FileDlgBase&)> act, bool* seen = nullptr) {
  QTimer::singleShot(0, [act = std::move(act), seen] {
    FileDlgBase* dialog = FindSelectionDialog();
    if (seen) *seen = dialog != nullptr;
    if (!dialog) return;
    act(*dialog);
    if (dialog->isVisible()) dialog->EndDialog(IDCANCEL);
  });
}

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
          if (next_ < answers_.size()) return answers_[next_++];
          return IDOK;
        }) {}
  std::vector<ShownMessage> shown;

 private:
  std::vector<int> answers_;
  size_t next_ = 0;
  ScopedMessageBoxHook hook_;
};

}  // namespace vexa::test
