#include "vexafol/ui/dialog_base.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "vexafol/ui/dialog_units.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {

DialogBase::DialogBase(int templateId, QWidget* parent) : QDialog(parent), templateId_(templateId) {
  InitUiLibrary();
  setObjectName(QString::number(templateId));
  SetTemplateFont(kFacePGothic, 9);
}

int DialogBase::DoModal() {
  if (initialised_) {
    RestoreStartFocus();
  } else {
    InitDialog();
  }
  return exec();
}

void DialogBase::InitDialog() {
  if (initialised_) return;
  initialised_ = true;
  OnInitDialog();
  startFocus_ = focusWidget();
}

void DialogBase::RestoreStartFocus() {
  QWidget* target = startFocus_;
  if (!target || !target->isEnabled() || !target->isVisibleTo(this)) target = FirstTabStop();
  if (target) target->setFocus(Qt::TabFocusReason);
}

QWidget* DialogBase::FirstTabStop() const {
  for (QWidget* widget = nextInFocusChain(); widget && widget != this;
       widget = widget->nextInFocusChain()) {
    if (isAncestorOf(widget) && widget->isEnabled() && widget->isVisibleTo(this) &&
        (widget->focusPolicy() & Qt::TabFocus)) {
      return widget;
    }
  }
  return nullptr;
}

void DialogBase::Create() {
  InitDialog();
  show();
}

void DialogBase::EndDialog(int result) {
  done(result);
}

bool DialogBase::UpdateData(bool save) {
  return DoDataExchange(save);
}

QWidget* DialogBase::GetDlgItem(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void DialogBase::SetTemplateFont(const std::string& face, int pointSize) {
  setFont(DialogFont(face, pointSize));
  baseUnits_ = DialogBaseUnits(font());
}

QRect DialogBase::DluRect(int x, int y, int width, int height) const {
  return DluToPixels(baseUnits_, x, y, width, height);
}

void DialogBase::SetTemplateSize(int width, int height) {
  resize(DluToPixelsX(baseUnits_, width), DluToPixelsY(baseUnits_, height));
}

void DialogBase::PlaceWidget(QWidget* control, int id, int x, int y, int width, int height) {
  control->setParent(this);
  if (id != -1) control->setObjectName(QString::number(id));
  control->setGeometry(DluRect(x, y, width, height));
}

QPushButton* DialogBase::AddButton(int id, const std::string& text, int x, int y, int width,
                                   int height) {
  auto* button = Place(new QPushButton(QString::fromStdString(text)), id, x, y, width, height);
  // Return is dispatched by keyPressEvent, as Windows dialogs do.
  button->setAutoDefault(false);
  if (id == IDOK) connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
  if (id == IDCANCEL) connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
  return button;
}

QLabel* DialogBase::AddLabel(int id, const std::string& text, int x, int y, int width, int height) {
  return Place(new QLabel(QString::fromStdString(text)), id, x, y, width, height);
}

bool DialogBase::OnInitDialog() {
  return UpdateData(false);
}

bool DialogBase::DoDataExchange(bool) {
  return true;
}

void DialogBase::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void DialogBase::OnCancel() {
  EndDialog(IDCANCEL);
}

void DialogBase::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // A focused button takes Return itself; anywhere else it means OK unless
    // the OK button is disabled.
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
      button->click();
    } else if (QWidget* ok = GetDlgItem(IDOK); !ok || ok->isEnabled()) {
      OnOK();
    }
    return;
  }
  if (plain && event->key() == Qt::Key_Escape) {
    OnCancel();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogBase::reject() {
  OnCancel();
}

}  // namespace vexa
