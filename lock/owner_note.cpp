#include "lock/owner_note.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/env.h"
#include "platform/sysinfo.h"

namespace vexa::lock {
namespace {

// Length of the UTF-8 character starting at text[i], 0 when none starts there.
size_t Utf8Length(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead < 0x80                    ? 1
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  const unsigned char second = length > 1 ? byte(i + 1) : 0;
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
    return 0;  // overlong, surrogate or beyond U+10FFFF
  return length;
}

std::string FormatUtc(int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds at{std::chrono::seconds{seconds}};
  const sys_days day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss time{at - day};
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", int{date.year()},
                unsigned{date.month()}, unsigned{date.day()}, long(time.hours().count()),
                long(time.minutes().count()), long(time.seconds().count()));
  return text;
}

// Seconds since 1970 of "YYYY-MM-DDThh:mm:ssZ"; 0 when it is not that.
int64_t ParseUtc(const std::string& text) {
  int y = 0;
  unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char zone = 0;
  if (text.size() != 20 ||
      std::sscanf(text.c_str(), "%4d-%2u-%2uT%2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &zone) !=
          7 ||
      zone != 'Z' || h > 23 || mi > 59 || s > 60)
    return 0;
  using namespace std::chrono;
  const year_month_day date{year{y}, month{mo}, day{d}};
  if (!date.ok()) return 0;
  return sys_days{date}.time_since_epoch() / std::chrono::seconds{1} + h * 3600 + mi * 60 + s;
}

}  // namespace

std::string DrawingNoteName(int folderNo) {
  char name[32];
  std::snprintf(name, sizeof name, "D%03d.NOTE", folderNo);
  return name;
}

std::string PageNoteName(int folderNo, int page) {
  return PageNotePrefix(folderNo) + std::to_string(page) + ".NOTE";
}

std::string PageNotePrefix(int folderNo) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "P%03d-", folderNo);
  return prefix;
}

bool IsNoteName(const std::string& name) {
  int folderNo = 0, page = 0, end = 0;
  if (std::sscanf(name.c_str(), "D%3d.NOTE%n", &folderNo, &end) == 1 &&
      static_cast<size_t>(end) == name.size())
    return name == DrawingNoteName(folderNo);
  if (std::sscanf(name.c_str(), "P%3d-%d.NOTE%n", &folderNo, &page, &end) == 2 &&
      static_cast<size_t>(end) == name.size())
    return name == PageNoteName(folderNo, page);
  return false;
}

std::string EscapeNoteText(std::string_view text, size_t limit) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = Utf8Length(text, i);
    std::string piece;
    if (length == 0 || c < 0x20 || c == 0x7F || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      piece = escaped;
      length = 1;
    } else {
      piece.assign(text.substr(i, length));
    }
    if (out.size() + piece.size() > limit) break;
    out += piece;
    i += length;
  }
  return out;
}

std::string FormatNote(const LockHolder& holder) {
  const auto field = [](const char* key, const std::string& value) {
    return std::string(key) + "=" + EscapeNoteText(value, kMaxNoteValue) + "\n";
  };
  return std::string(kNoteHeader) + "\n" + field("login", holder.login) +
         field("name", holder.fullName) + field("computer", holder.computer) +
         field("program", holder.program) + "pid=" + std::to_string(holder.pid) + "\n" +
         "since=" + FormatUtc(holder.since) + "\n";
}

bool ParseNote(std::string_view text, LockHolder& holder) {
  if (text.size() > kMaxNoteSize) return false;
  size_t end = text.find('\n');
  if (end == std::string_view::npos || text.substr(0, end) != kNoteHeader) return false;
  for (size_t start = end + 1; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string value = EscapeNoteText(line.substr(equals + 1), kMaxNoteValue);
    if (key == "login")
      holder.login = value;
    else if (key == "name")
      holder.fullName = value;
    else if (key == "computer")
      holder.computer = value;
    else if (key == "program")
      holder.program = value;
    else if (key == "pid")
      holder.pid = std::atol(value.c_str());
    else if (key == "since")
      holder.since = ParseUtc(value);
  }
  holder.named = true;
  return true;
}

LockHolder ThisProcessAsHolder() {
  platform::Env& env = platform::CurrentEnv();
  LockHolder self;
  self.held = self.named = true;
  self.login = env.UserName();
  self.fullName = env.UserFullName();
  self.computer = platform::ComputerName();
  if (self.computer.empty()) {
    self.computer = env.HostName();
    self.computer = self.computer.substr(0, self.computer.find('.'));
  }
  self.program = env.ReadSystemFile("/proc/self/comm");
  while (!self.program.empty() && self.program.back() == '\n') self.program.pop_back();
  self.pid = platform::ProcessId();
  self.since = std::time(nullptr);
  return self;
}

}  // namespace vexa::lock
