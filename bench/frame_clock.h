// Times from the call of a dialog's entry point to the first painted frame of
// any window (a loading window, or the dialog) and to the first painted rows
// of the dialog, which then ends it. Installed on the application while the
// entry point runs.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace vexa::bench {

class FrameClock : public QObject {
 public:
  // showsRows: whether a painted widget shows the dialog's rows.
  explicit FrameClock(std::function<bool(QWidget*)> showsRows) : showsRows_(std::move(showsRows)) {
    timer_.start();
  }
  double firstFrame = -1, firstRow = -1;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isVisible()) return false;
    if (firstFrame < 0) firstFrame = Elapsed();
    if (firstRow < 0 && showsRows_(widget)) {
      firstRow = Elapsed();
      auto* dialog = qobject_cast<QDialog*>(widget->window());
      QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
    }
    return false;
  }

 private:
  double Elapsed() const { return timer_.nsecsElapsed() / 1e6; }

  std::function<bool(QWidget*)> showsRows_;
  QElapsedTimer timer_;
};

}  // namespace vexa::bench
