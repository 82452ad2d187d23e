// Progress of a long folder-list load on standard error, when that is a
// terminal: "vexafol: list: reading drawings 1234 / 10989" on one line,
// rewritten as the load goes on and cleared when it ends. A load that ends
// within half a second shows nothing.
#pragma once

#include <chrono>
#include <string>
#include <utility>

namespace vexa::tool {

class LoadProgressLine {
 public:
  static constexpr std::chrono::milliseconds kQuiet{500};
  static constexpr std::chrono::milliseconds kRedraw{100};

  explicit LoadProgressLine(std::string command) : command_(std::move(command)) {}

  // What to write for read of listed drawing folders at elapsed since the
  // load began: "" before kQuiet and within kRedraw of the last line drawn,
  // otherwise the line with a leading carriage return.
  std::string Next(std::chrono::milliseconds elapsed, int read, int listed);
  // What clears the line at the end of the load ("" when none was drawn).
  std::string End() const;

 private:
  std::string command_;
  bool drawn_ = false;
  std::chrono::milliseconds last_{0};
  size_t width_ = 0;
};

// Reports the loads of this thread as LoadProgressLine says while it lives,
// when standard error is a terminal; otherwise does nothing.
class TerminalLoadProgress {
 public:
  explicit TerminalLoadProgress(const std::string& command);
  ~TerminalLoadProgress();
  TerminalLoadProgress(const TerminalLoadProgress&) = delete;
  TerminalLoadProgress& operator=(const TerminalLoadProgress&) = delete;

 private:
  static int Report(void* context, int read, int listed);

  LoadProgressLine line_;
  bool active_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace vexa::tool
