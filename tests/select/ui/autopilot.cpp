// Linked into copies of the example host programs for their tests: once the
// QApplication exists, answers the selection dialog or the page dialog as a
// user would, by pressing OK on the record under the cursor, or "ページ製図"
// on the selected page (VEXA_AUTOPILOT=ok), or Cancel.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <string>

#include "page/ui/page_dlg.h"
#include "select/ui/file_dlg_base.h"
#include "vexafol/ui/resource_ids.h"

namespace {

// Dialogs and controls are named by their template ids.
QString Name(int id) {
  return QString::number(id);
}

void AnswerSelectionDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    const bool pages = widget->objectName() == Name(vexa::kTemplatePageDlg);
    if ((!pages && widget->objectName() != Name(vexa::kTemplateFileDlg)) || !widget->isVisible()) {
      continue;
    }
    const char* answer = std::getenv("VEXA_AUTOPILOT");
    const bool ok = answer && std::string(answer) == "ok";
    const int button = ok ? (pages ? vexa::kIdDrawPage : vexa::IDOK) : vexa::IDCANCEL;
    auto* pressed = widget->findChild<QAbstractButton*>(Name(button));
    pressed->setFocus();
    pressed->click();
    return;
  }
  QTimer::singleShot(10, AnswerSelectionDialog);
}

void StartAutopilot() {
  QTimer::singleShot(0, AnswerSelectionDialog);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartAutopilot)
