// Answering a modal window in UI tests: a timer looks for the visible
// top-level window of a type (retrying while the code under test is still on
// its way to it) and acts on it; a window that act leaves open is rejected,
// so a failing test cannot hang.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

namespace vexa::test {

template <typename Window>
void WhenShown(std::function<void(Window&)> act, bool* seen = nullptr, int triesLeft = 200) {
  QTimer::singleShot(triesLeft == 200 ? 0 : 25, [act = std::move(act), seen, triesLeft]() mutable {
    Window* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* candidate = qobject_cast<Window*>(widget);
      if (candidate && candidate->isVisible()) window = candidate;
    }
    if (!window) {
      if (triesLeft > 0) WhenShown<Window>(std::move(act), seen, triesLeft - 1);
      return;
    }
    if (seen) *seen = true;
    act(*window);
    if (window->isVisible()) window->reject();
  });
}

}  // namespace vexa::test
