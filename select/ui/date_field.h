// DateField: a date in one line edit with a calendar button beside it.
//
// The edit shows the day in the system's short date format with a four-digit
// year and takes a typed day in that format or as yyyy-mm-dd, yyyy/m/d or
// yyyymmdd; the text is taken when the edit loses the focus or Return is
// pressed (a text that is no day in range brings the last day back). The
// button opens a calendar; it takes no focus, so Tab passes a date in one
// step.
#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vexa {

class DateField : public QWidget {
  Q_OBJECT

 public:
  explicit DateField(const QDate& date, QWidget* parent = nullptr);

  QDate date() const { return date_; }
  // Shows day when it lies in the range (dateChanged when it differs).
  void setDate(const QDate& day);
  void setDateRange(const QDate& lowest, const QDate& highest);
  QLineEdit* lineEdit() const { return edit_; }
  QToolButton* calendarButton() const { return button_; }
  // The format the edit shows, e.g. "yyyy/MM/dd".
  QString displayFormat() const { return format_; }
  // The day a typed text names; invalid when it names none.
  QDate ParseDay(const QString& text) const;
  // Opens the calendar below the field.
  void ShowCalendar();

 signals:
  void dateChanged(const QDate& day);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void TakeText();

  QLineEdit* edit_;
  QToolButton* button_;
  QString format_;
  QDate date_;
  QDate lowest_{1601, 1, 1};
  QDate highest_{9999, 12, 31};
};

}  // namespace vexa
