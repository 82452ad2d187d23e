#include "tools/holder_text.h"

#include "tools/output_text.h"
#include "vexafol/filetime.h"

namespace vexa::tool {

std::string HolderLine(const LockHolder& holder, int64_t now) {
  std::string line = LockHolderText(holder, now);
  if (holder.named) {
    line += " [" + holder.login + ", pid " + std::to_string(holder.pid);
    if (!holder.program.empty()) line += ", " + holder.program;
    line += "]";
  }
  return Printable(line);
}

std::string HolderJson(const LockHolder& holder, int64_t now) {
  if (!holder.held) return "null";
  const auto text = [&](const std::string& value) {
    return holder.named ? JsonString(value) : std::string("null");
  };
  return "{\"named\": " + std::string(holder.named ? "true" : "false") +
         ", \"login\": " + text(holder.login) + ", \"name\": " + text(holder.fullName) +
         ", \"computer\": " + text(holder.computer) + ", \"program\": " + text(holder.program) +
         ", \"pid\": " + std::to_string(holder.named ? holder.pid : 0) + ", \"since\": " +
         (holder.named && holder.since > 0 ? JsonString(IsoTime(UnixToFileTime(holder.since)))
                                           : std::string("null")) +
         ", \"text\": " + JsonString(LockHolderText(holder, now)) + "}";
}

}  // namespace vexa::tool
