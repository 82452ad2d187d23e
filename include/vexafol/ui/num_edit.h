// An integer edit with limits: the user can only type digits (and a minus
// sign when the lower limit is negative); the value read back is always
// within the limits.
#pragma once

#include <QLineEdit>

#include "vexafol/export.h"

class QIntValidator;

namespace vexa {

class VEXA_UI_API NumEdit : public QLineEdit {
  Q_OBJECT

 public:
  // An edit named id (objectName; -1 leaves it unnamed), limits 0 to 9999.
  explicit NumEdit(int id = -1, QWidget* parent = nullptr);

  // Sets the limits (swapped when given the wrong way round) and the value,
  // clamped into them.
  void SetValue(int value, int minimum, int maximum);
  // Sets the value, clamped into the current limits.
  void SetValue(int value);
  // Sets the limits and clamps the shown value into them.
  void SetLimits(int minimum, int maximum);
  // The typed value clamped into the limits; the lower limit when the text
  // holds no number.
  int GetValue() const;

 protected:
  // Leaving the edit replaces what was typed by the value GetValue answers.
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int minimum_ = 0;
  int maximum_ = 9999;
  QIntValidator* validator_;
};

}  // namespace vexa
