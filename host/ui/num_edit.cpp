#include "vexafol/ui/num_edit.h"

#include <QIntValidator>

#include <algorithm>
#include <utility>

#include "vexafol/ui/ui_library.h"

namespace vexa {

NumEdit::NumEdit(int id, QWidget* parent)
    : QLineEdit(parent), validator_(new QIntValidator(minimum_, maximum_, this)) {
  InitUiLibrary();
  if (id != -1) setObjectName(QString::number(id));
  setValidator(validator_);
  SetValue(minimum_);
}

void NumEdit::SetValue(int value, int minimum, int maximum) {
  SetLimits(minimum, maximum);
  SetValue(value);
}

void NumEdit::SetValue(int value) {
  setText(QString::number(std::clamp(value, minimum_, maximum_)));
}

void NumEdit::SetLimits(int minimum, int maximum) {
  if (minimum > maximum) std::swap(minimum, maximum);
  minimum_ = minimum;
  maximum_ = maximum;
  validator_->setRange(minimum, maximum);
  SetValue(GetValue());
}

int NumEdit::GetValue() const {
  bool ok = false;
  const long long typed = text().trimmed().toLongLong(&ok);
  if (!ok) return minimum_;
  return static_cast<int>(std::clamp<long long>(typed, minimum_, maximum_));
}

void NumEdit::focusOutEvent(QFocusEvent* event) {
  SetValue(GetValue());
  QLineEdit::focusOutEvent(event);
}

}  // namespace vexa
