#include "select/ui/date_field.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vexa {
namespace {

// The system's short date with the year in four digits: a two-digit year
// would be read back in the wrong century.
QString ShortDateFormat() {
  QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), "yyyy");
  return format;
}

}  // namespace

DateField::DateField(const QDate& date, QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      button_(new QToolButton(this)),
      format_(ShortDateFormat()),
      date_(date) {
  edit_->setText(date_.toString(format_));
  edit_->installEventFilter(this);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  button_->setArrowType(Qt::DownArrow);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setToolTip(QStringLiteral("カレンダー"));
  connect(button_, &QToolButton::clicked, this, &DateField::ShowCalendar);
}

void DateField::setDate(const QDate& day) {
  if (day.isValid() && day >= lowest_ && day <= highest_ && day != date_) {
    date_ = day;
    emit dateChanged(date_);
  }
  edit_->setText(date_.toString(format_));
}

void DateField::setDateRange(const QDate& lowest, const QDate& highest) {
  lowest_ = lowest;
  highest_ = highest;
  setDate(std::clamp(date_, lowest_, highest_));
}

QDate DateField::ParseDay(const QString& text) const {
  const QString trimmed = text.trimmed();
  QDate day = QLocale::system().toDate(trimmed, format_);
  for (const char* format : {"yyyy-M-d", "yyyy/M/d", "yyyyMMdd", "yyyy.M.d"}) {
    if (!day.isValid()) day = QDate::fromString(trimmed, QString::fromLatin1(format));
  }
  return day.isValid() && day >= lowest_ && day <= highest_ ? day : QDate();
}

void DateField::TakeText() {
  const QDate day = ParseDay(edit_->text());
  setDate(day.isValid() ? day : date_);
}

void DateField::ShowCalendar() {
  TakeText();
  auto* popup = new QWidget(this, Qt::Popup);
  popup->setAttribute(Qt::WA_DeleteOnClose);
  auto* calendar = new QCalendarWidget(popup);
  calendar->setDateRange(lowest_, highest_);
  calendar->setSelectedDate(date_);
  auto* layout = new QVBoxLayout(popup);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(calendar);
  connect(calendar, &QCalendarWidget::activated, popup, [this, popup](const QDate& day) {
    setDate(day);
    popup->close();
  });
  connect(calendar, &QCalendarWidget::clicked, popup, [this, popup](const QDate& day) {
    setDate(day);
    popup->close();
  });
  // Escape closes the calendar and keeps the day.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), popup), &QShortcut::activated, popup,
          &QWidget::close);
  popup->move(mapToGlobal(QPoint(0, height())));
  popup->show();
  calendar->setFocus();
}

bool DateField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    if (event->type() == QEvent::FocusOut) TakeText();
    if (event->type() == QEvent::FocusIn) edit_->selectAll();
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // Alt+Down and F4 open the calendar, as on a Windows date picker.
      if ((key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) ||
          key->key() == Qt::Key_F4) {
        ShowCalendar();
        return true;
      }
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) TakeText();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void DateField::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The button sits at the right end, as high as the field and three
  // quarters as wide.
  const int buttonWidth = std::max(12, height() * 3 / 4);
  button_->setGeometry(width() - buttonWidth, 0, buttonWidth, height());
  edit_->setGeometry(0, 0, width() - buttonWidth, height());
}

}  // namespace vexa
