#include "tools/restore_hint.h"

#include <cctype>
#include <vector>

#include "tools/output_text.h"
#include "vexafol/recycle.h"

namespace vexa::tool {
namespace {

// text as one shell word: bare when it holds only safe characters, else in
// single quotes.
std::string ShellWord(const std::string& text) {
  bool safe = !text.empty();
  for (unsigned char c : text) {
    if (!std::isalnum(c) && c != '/' && c != '.' && c != '_' && c != '-' && c != '+') safe = false;
  }
  if (safe) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool EqualNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return i == a.size() && !b[i];
}

bool Within(const std::string& path, const std::string& folder) {
  return !folder.empty() && (path == folder || (path.size() > folder.size() &&
                                                path.compare(0, folder.size(), folder) == 0 &&
                                                path[folder.size()] == '/'));
}

}  // namespace

std::string RestoreHint(const CEnvironObj& env, const std::string& root, const std::string& path) {
  const std::string store = ShellWord(root);
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find('.');
  // BKUP is backup 0, BKUP.003 backup 3.
  if (EqualNoCase(name.substr(0, dot), "BKUP") && slash != std::string::npos) {
    const std::string digits = dot == std::string::npos ? "0" : name.substr(dot + 1);
    bool number = !digits.empty() && digits.size() <= 4;
    for (unsigned char c : digits) number = number && std::isdigit(c);
    if (number) {
      return Printable(path) +
             " is a backup: nothing was restored. To restore it: vexafol restore " + store +
             " --backup " + ShellWord(path.substr(0, slash)) + " " +
             std::to_string(std::stoi(digits));
    }
  }
  for (const RecycleSlot& slot : ListRecycleSlots(env)) {
    if (Within(path, slot.container) || Within(path, slot.drawing)) {
      return Printable(path) +
             " is a deleted drawing in the recycle folder: nothing was restored. To restore it: "
             "vexafol restore " +
             store + " --slot " + std::to_string(slot.slot);
    }
  }
  return "";
}

}  // namespace vexa::tool
