#include "vexafol/ui/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <utility>
#include <vector>

#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

MessageBoxHook& InstalledHook() {
  static MessageBoxHook hook;
  return hook;
}

struct ButtonSpec {
  QMessageBox::StandardButton button;
  int answer;
  const char* text;
};

const ButtonSpec kOk{QMessageBox::Ok, IDOK, "OK"};
const ButtonSpec kCancel{QMessageBox::Cancel, IDCANCEL, "キャンセル"};
const ButtonSpec kYes{QMessageBox::Yes, IDYES, "はい(&Y)"};
const ButtonSpec kNo{QMessageBox::No, IDNO, "いいえ(&N)"};
const ButtonSpec kAbort{QMessageBox::Abort, IDABORT, "中止(&A)"};
const ButtonSpec kRetry{QMessageBox::Retry, IDRETRY, "再試行(&R)"};
const ButtonSpec kIgnore{QMessageBox::Ignore, IDIGNORE, "無視(&I)"};

// The buttons of a type word, left to right as Windows shows them.
std::vector<ButtonSpec> ButtonsOf(unsigned type) {
  switch (type & 0xFu) {
    case MB_OKCANCEL:
      return {kOk, kCancel};
    case MB_ABORTRETRYIGNORE:
      return {kAbort, kRetry, kIgnore};
    case MB_YESNOCANCEL:
      return {kYes, kNo, kCancel};
    case MB_YESNO:
      return {kYes, kNo};
    case MB_RETRYCANCEL:
      return {kRetry, kCancel};
    default:
      return {kOk};
  }
}

QMessageBox::Icon IconOf(unsigned type) {
  switch (type & 0xF0u) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

int ShowQtMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                     unsigned type) {
  InitUiLibrary();
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(text));
  box.setIcon(IconOf(type));
  const std::vector<ButtonSpec> specs = ButtonsOf(type);
  std::vector<std::pair<QAbstractButton*, int>> answers;
  for (const ButtonSpec& spec : specs) {
    QPushButton* button = box.addButton(spec.button);
    button->setText(QString::fromUtf8(spec.text));
    answers.emplace_back(button, spec.answer);
    if (spec.answer == IDCANCEL) box.setEscapeButton(button);
  }
  const size_t defaultIndex = (type >> 8) & 0xFu;
  box.setDefaultButton(
      static_cast<QPushButton*>(answers[defaultIndex < answers.size() ? defaultIndex : 0].first));
  box.exec();
  for (const auto& [button, answer] : answers) {
    if (button == box.clickedButton()) return answer;
  }
  return IDCANCEL;
}

}  // namespace

int MessageBox(QWidget* parent, const std::string& text, const std::string& title, unsigned type) {
  if (const MessageBoxHook& hook = InstalledHook()) return hook(parent, text, title, type);
  return ShowQtMessageBox(parent, text, title, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  return std::exchange(InstalledHook(), std::move(hook));
}

ScopedMessageBoxHook::ScopedMessageBoxHook(MessageBoxHook hook)
    : previous_(SetMessageBoxHook(std::move(hook))) {}

ScopedMessageBoxHook::~ScopedMessageBoxHook() {
  SetMessageBoxHook(std::move(previous_));
}

}  // namespace vexa
