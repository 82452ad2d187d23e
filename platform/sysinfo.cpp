#include "platform/sysinfo.h"

#include <locale.h>
#include <string.h>
#include <unistd.h>

#include <climits>

#include "platform/env.h"
#include "vexafol/text.h"

namespace vexa::platform {
namespace {

constexpr size_t kMaxComputerName = 15;
constexpr size_t kMaxUserName = 256;

// The message for an errno value in the locale of the environment, or "" when
// the C library knows no message for it.
std::string ErrnoMessage(unsigned long code) {
  if (code > INT_MAX) return {};
  const int error = static_cast<int>(code);
  if (!strerrordesc_np(error)) return {};
  // Messages in the user's language, converted to UTF-8 whatever the user's
  // character set (the messages of a locale with the C character set are '?').
  locale_t locale = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (!locale) return strerrordesc_np(error);
  if (locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale)) locale = utf8;
  std::string message = strerror_l(error, locale);
  freelocale(locale);
  return message;
}

}  // namespace

std::string ComputerName() {
  std::string name = CurrentEnv().HostName();
  name = name.substr(0, name.find('.'));
  if (name.size() > kMaxComputerName) return {};
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

std::string UserName() {
  const std::string name = CurrentEnv().UserName();
  std::string cp932;
  if (!Utf8ToCp932(name, cp932)) cp932 = name;
  return cp932.size() > kMaxUserName ? std::string() : name;
}

long ProcessId() {
  return static_cast<long>(getpid());
}

std::string SystemErrorText(unsigned long code) {
  if (code == 0) return {};
  const std::string message = ErrnoMessage(code);
  return "(" + std::to_string(code) + ") " + (message.empty() ? "不明なエラーです。" : message);
}

}  // namespace vexa::platform
