// Holding a load at a gate the test opens: the first open through a FaultEnv
// of a path containing a given part waits until Open() is called (or, so that
// a load made on the test's own thread fails instead of hanging, 30 s).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "tests/support/fault_env.h"

namespace vexa::test {

class OpenGate {
 public:
  OpenGate(platform::FaultEnv& env, const std::string& pathPart) {
    env.Before(platform::Op::Open, pathPart, 0, [this] {
      std::unique_lock<std::mutex> lock(mutex_);
      reached_ = true;
      changed_.notify_all();
      changed_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; });
    });
  }
  ~OpenGate() { Open(); }
  OpenGate(const OpenGate&) = delete;
  OpenGate& operator=(const OpenGate&) = delete;

  void Open() {
    const std::lock_guard<std::mutex> guard(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Whether the held open has been reached.
  bool Reached() {
    const std::lock_guard<std::mutex> guard(mutex_);
    return reached_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  bool reached_ = false;
};

}  // namespace vexa::test
