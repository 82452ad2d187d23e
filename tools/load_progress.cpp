#include "tools/load_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "vexafol/hooks.h"

namespace vexa::tool {

std::string LoadProgressLine::Next(std::chrono::milliseconds elapsed, int read, int listed) {
  if (elapsed < kQuiet || (drawn_ && elapsed - last_ < kRedraw && read < listed)) return "";
  drawn_ = true;
  last_ = elapsed;
  std::string text = "vexafol: " + command_ + ": reading drawings " + std::to_string(read) + " / " +
                     std::to_string(listed);
  width_ = std::max(width_, text.size());
  text.resize(width_, ' ');  // covers a longer line drawn before
  return "\r" + text;
}

std::string LoadProgressLine::End() const {
  return drawn_ ? "\r" + std::string(width_, ' ') + "\r" : "";
}

TerminalLoadProgress::TerminalLoadProgress(const std::string& command)
    : line_(command), active_(isatty(STDERR_FILENO) == 1) {
  if (!active_) return;
  start_ = std::chrono::steady_clock::now();
  SetLoadProgressHook(Report, this);
}

TerminalLoadProgress::~TerminalLoadProgress() {
  if (!active_) return;
  SetLoadProgressHook(nullptr, nullptr);
  std::fputs(line_.End().c_str(), stderr);
}

int TerminalLoadProgress::Report(void* context, int read, int listed) {
  auto& self = *static_cast<TerminalLoadProgress*>(context);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - self.start_);
  const std::string text = self.line_.Next(elapsed, read, listed);
  if (!text.empty()) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
  }
  return 1;
}

}  // namespace vexa::tool
