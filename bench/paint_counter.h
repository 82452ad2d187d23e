// Counts the paint events of a widget, so that a benchmark can stop its clock
// at the first painted frame.
#pragma once

#include <QEvent>
#include <QObject>

namespace vexa::bench {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace vexa::bench
