// Linked into a copy of the example host program for its test: once the
// QApplication exists, answers the selection dialog as a user would, by
// pressing OK on the record under the cursor (VEXA_AUTOPILOT=ok) or Cancel.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <string>

namespace {

void AnswerSelectionDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() != "29003" || !widget->isVisible()) continue;
    const char* answer = std::getenv("VEXA_AUTOPILOT");
    const bool ok = answer && std::string(answer) == "ok";
    auto* button = widget->findChild<QAbstractButton*>(ok ? "1" : "2");
    button->setFocus();
    button->click();
    return;
  }
  QTimer::singleShot(10, AnswerSelectionDialog);
}

void StartAutopilot() {
  QTimer::singleShot(0, AnswerSelectionDialog);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartAutopilot)
