// Answering a modal window in UI tests: while an Answer lives, a timer looks
// for the visible top-level window of a type (retrying while the code under
// test is still on its way to it) and acts on it once; a window that act
// leaves open is rejected, so a failing test cannot hang.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace vexa::test {

template <typename Window>
class Answer {
 public:
  explicit Answer(std::function<void(Window&)> act) : state_(std::make_shared<State>()) {
    state_->act = std::move(act);
    Poll(state_, 0);
  }
  ~Answer() { state_->active = false; }
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;

  // Whether the window was there and act ran.
  bool seen() const { return state_->seen; }

 private:
  struct State {
    std::function<void(Window&)> act;
    bool active = true;
    bool seen = false;
  };

  static void Poll(std::shared_ptr<State> state, int delay) {
    QTimer::singleShot(delay, [state] {
      if (!state->active || state->seen) return;
      Window* window = nullptr;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* candidate = qobject_cast<Window*>(widget);
        if (candidate && candidate->isVisible()) window = candidate;
      }
      if (!window) {
        Poll(state, 20);
        return;
      }
      state->seen = true;
      state->act(*window);
      if (window->isVisible()) static_cast<QDialog*>(window)->reject();  // reject may be protected
    });
  }

  std::shared_ptr<State> state_;
};

}  // namespace vexa::test
