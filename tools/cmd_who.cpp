// vexafol who: the local processes that have a drawing's lock files open and
// the bytes they lock, and the locked bytes no local process explains (held
// from another computer, or by a Windows client through a file server). Lock files carry no owner,
// so the answer comes from the kernel: /proc/PID/fd tells which descriptors are open on the lock
// files (matched by device and inode) and /proc/PID/fdinfo/FD lists the locks of each open file
// description ("lock:" lines; /proc/locks shows open file description locks with pid -1, so it
// cannot name the holder).
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/holder_text.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "tools/support/local_system.h"
#include "vexafol/file.h"
#include "vexafol/filetime.h"
#include "vexafol/lock_holder.h"

namespace vexa::tool {
namespace {

struct LockFile {
  std::string path;
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
};

struct Range {
  uint64_t first = 0;
  uint64_t last = 0;  // inclusive, as the kernel shows it
};

// One descriptor of a process open on one of the lock files.
struct Holding {
  long pid = 0;
  size_t file = 0;  // index into the lock files
  std::vector<Range> locked;
};

bool IsNumber(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Exclusive locks of one open file description from its fdinfo text:
// "lock:\t1: OFDLCK ADVISORY  WRITE -1 fe:00:1234 3 4" (start and end
// inclusive, "EOF" for a lock to the end). Shared locks are the in-use marks.
std::vector<Range> ExclusiveLocks(const std::string& fdinfo) {
  std::vector<Range> ranges;
  std::istringstream lines(fdinfo);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, 5, "lock:") != 0 || line.find("->") != std::string::npos) continue;
    std::istringstream words(line.substr(5));
    std::string id, kind, mode, access, pid, inode, start, end;
    if (!(words >> id >> kind >> mode >> access >> pid >> inode >> start >> end)) continue;
    if (access != "WRITE" || !IsNumber(start)) continue;
    Range range;
    range.first = std::strtoull(start.c_str(), nullptr, 10);
    range.last = IsNumber(end) ? std::strtoull(end.c_str(), nullptr, 10) : UINT64_MAX;
    if (range.first == File::kSentinelOffset) continue;  // a last user deleting the file
    ranges.push_back(range);
  }
  return ranges;
}

// User names by uid from /etc/passwd; users known only to other name services
// show as their number.
std::map<long, std::string> UserNames() {
  std::map<long, std::string> names;
  std::istringstream lines(ReadSmallFile("/etc/passwd"));
  for (std::string line; std::getline(lines, line);) {
    const size_t nameEnd = line.find(':');
    const size_t uidStart = nameEnd == std::string::npos ? nameEnd : line.find(':', nameEnd + 1);
    if (uidStart == std::string::npos) continue;
    names.emplace(std::atol(line.c_str() + uidStart + 1), line.substr(0, nameEnd));
  }
  return names;
}

std::string UserOf(long pid, const std::map<long, std::string>& names) {
  std::istringstream lines(ReadSmallFile("/proc/" + std::to_string(pid) + "/status"));
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, 4, "Uid:") != 0) continue;
    const long uid = std::atol(line.c_str() + 4);
    const auto name = names.find(uid);
    return name != names.end() ? name->second : std::to_string(uid);
  }
  return "?";
}

std::string CommandOf(long pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  std::string command = ReadSmallFile(proc + "/cmdline");
  while (!command.empty() && command.back() == '\0') command.pop_back();
  std::replace(command.begin(), command.end(), '\0', ' ');
  if (command.empty()) {
    command = ReadSmallFile(proc + "/comm");
    while (!command.empty() && command.back() == '\n') command.pop_back();
    command = "[" + command + "]";
  }
  return command;
}

// What one descriptor holds, in words: the drawing's byte of the drawing lock
// file, the pages of the page lock file, or only "open".
std::string HoldsText(const Holding& holding, bool pageFile, int folderNo) {
  std::string text;
  for (const Range& range : holding.locked) {
    if (!pageFile) {
      const uint64_t n = static_cast<uint64_t>(folderNo);
      if (folderNo >= 0 && range.first <= n && n <= range.last)
        text = "byte " + std::to_string(folderNo) + " (drawing lock)";
      continue;  // bytes of other drawings of the application
    }
    if (!text.empty()) text += ", ";
    text += std::to_string(range.first);
    if (range.last != range.first)
      text += range.last == UINT64_MAX ? "-" : "-" + std::to_string(range.last);
  }
  if (text.empty()) return "open";
  if (!pageFile) return text;
  const bool onePage =
      holding.locked.size() == 1 && holding.locked[0].first == holding.locked[0].last;
  return (onePage ? "page " : "pages ") + text;
}

// The bytes first to last of a lock file that somebody holds, as every user
// sees them: a byte that cannot be read is locked. Our own handle holds none.
std::vector<uint64_t> LockedBytes(const std::string& path, uint64_t first, uint64_t last) {
  std::vector<uint64_t> locked;
  File file;
  if (!file.Open(path, File::Mode::ReadOnly)) return locked;
  for (uint64_t n = first; n <= last; ++n) {
    uint64_t at = 0;
    size_t got = 0;
    char byte;
    if (file.TrySeek(static_cast<int64_t>(n), File::begin, at) && !file.TryRead(&byte, 1, got) &&
        file.LastError() == EACCES)
      locked.push_back(n);
  }
  return locked;
}

// Locked bytes of file f that no process listed here holds: clients on other
// computers, or Windows clients whose server shows no process of theirs here.
std::vector<Holding> UnexplainedLocks(const std::vector<LockFile>& files,
                                      const std::vector<Holding>& holdings, int folderNo) {
  constexpr uint64_t kLastPageByte = 500;
  std::vector<Holding> others;
  for (size_t f = 0; f < files.size(); ++f) {
    if (!files[f].exists || (f == 0 && folderNo < 0)) continue;
    const uint64_t first = f == 0 ? static_cast<uint64_t>(folderNo) : 0;
    Holding other{0, f, {}};
    for (const uint64_t n : LockedBytes(files[f].path, first, f == 0 ? first : kLastPageByte)) {
      const bool explained =
          std::any_of(holdings.begin(), holdings.end(), [&](const Holding& holding) {
            return holding.file == f && std::any_of(holding.locked.begin(), holding.locked.end(),
                                                    [&](const Range& range) {
                                                      return range.first <= n && n <= range.last;
                                                    });
          });
      if (explained) continue;
      if (!other.locked.empty() && other.locked.back().last + 1 == n)
        other.locked.back().last = n;
      else
        other.locked.push_back({n, n});
    }
    if (!other.locked.empty()) others.push_back(other);
  }
  return others;
}

// Every held lock of the drawing with its holder as the owner notes name it,
// on any computer: the drawing lock, then each held page 0 to 500.
std::vector<LockHolder> NotedHolders(const LockTarget& target, const std::vector<LockFile>& files) {
  std::vector<LockHolder> holders;
  if (!target.Lockable()) return holders;
  if (files[0].exists) {
    const LockHolder drawing = GetDrawingLockHolder(target.env(), target.path());
    if (drawing.held) holders.push_back(drawing);
  }
  if (files[1].exists)
    for (const uint64_t page : LockedBytes(files[1].path, 0, 500))
      holders.push_back(GetPageLockHolder(target.env(), target.path(), static_cast<int>(page)));
  return holders;
}

std::string LockName(const LockHolder& holder) {
  return holder.page < 0 ? "drawing lock" : "page " + std::to_string(holder.page);
}

// The same as JSON: the lock files, one holder per descriptor (pid 0, user and
// command null for locks no process here explains), the hidden processes.
void PrintJson(const LockTarget& target, const std::vector<LockFile>& files,
               const std::vector<Holding>& holdings, const std::vector<Holding>& others, int hidden,
               const std::vector<LockHolder>& noted, int64_t now) {
  std::printf("{\"path\": %s, \"folderNo\": %d, \"lockFiles\": [",
              JsonString(target.path()).c_str(), target.folderNo());
  for (size_t f = 0; f < files.size(); ++f)
    std::printf("%s{\"path\": %s, \"exists\": %s}", f ? ", " : "",
                JsonString(files[f].path).c_str(), files[f].exists ? "true" : "false");
  std::printf("],\n \"owners\": [");
  for (size_t i = 0; i < noted.size(); ++i)
    std::printf("%s\n  {\"lock\": %s, \"page\": %s, \"holder\": %s}", i ? "," : "",
                noted[i].page < 0 ? "\"drawing\"" : "\"page\"",
                noted[i].page < 0 ? "null" : std::to_string(noted[i].page).c_str(),
                HolderJson(noted[i], now).c_str());
  std::printf("%s],\n \"holders\": [", noted.empty() ? "" : "\n ");
  const std::map<long, std::string> names = UserNames();
  size_t count = 0;
  for (const std::vector<Holding>* list : {&holdings, &others}) {
    for (const Holding& holding : *list) {
      const bool known = list == &holdings;
      std::printf(
          "%s\n  {\"pid\": %ld, \"user\": %s, \"file\": %s, \"holds\": %s, \"command\": %s}",
          count++ ? "," : "", holding.pid,
          known ? JsonString(UserOf(holding.pid, names)).c_str() : "null",
          JsonString(FileNameOf(files[holding.file].path)).c_str(),
          JsonString(HoldsText(holding, holding.file == 1, target.folderNo())).c_str(),
          known ? JsonString(CommandOf(holding.pid)).c_str() : "null");
    }
  }
  std::printf("%s],\n \"hidden\": %d}\n", count ? "\n " : "", hidden);
}

}  // namespace

int RunWho(Args& args) {
  LockTarget target;
  if (const int status = target.Load(args, "who")) return status;

  std::vector<LockFile> files = {{target.drawingLockFile()}, {target.pageLockFile()}};
  for (LockFile& file : files) file.exists = FileIdentity(file.path, file.device, file.inode);

  std::vector<Holding> holdings;
  int hidden = 0;  // processes whose descriptors this user may not see
  std::vector<std::string> processes;
  if (files[0].exists || files[1].exists) ListFolder("/proc", processes);
  const long self = ThisProcessId();
  for (const std::string& process : processes) {
    if (!IsNumber(process) || std::atol(process.c_str()) == self) continue;
    const std::string proc = "/proc/" + process;
    std::vector<std::string> descriptors;
    if (const int rc = ListFolder(proc + "/fd", descriptors); rc == -EACCES) ++hidden;
    for (const std::string& descriptor : descriptors) {
      uint64_t device = 0, inode = 0;
      if (!FileIdentity(proc + "/fd/" + descriptor, device, inode)) continue;
      for (size_t f = 0; f < files.size(); ++f) {
        if (!files[f].exists || device != files[f].device || inode != files[f].inode) continue;
        holdings.push_back({std::atol(process.c_str()), f,
                            ExclusiveLocks(ReadSmallFile(proc + "/fdinfo/" + descriptor))});
      }
    }
  }
  std::sort(holdings.begin(), holdings.end(), [](const Holding& a, const Holding& b) {
    return a.pid != b.pid ? a.pid < b.pid : a.file < b.file;
  });

  const std::vector<Holding> others = UnexplainedLocks(files, holdings, target.folderNo());
  const std::vector<LockHolder> noted = NotedHolders(target, files);
  const int64_t now = FileTimeToUnix(CurrentFileTime());
  if (args.Has("json")) {
    PrintJson(target, files, holdings, others, hidden, noted, now);
    return 0;
  }
  std::printf("Lock files of %s:\n", Printable(target.path()).c_str());
  for (const LockFile& file : files) {
    std::printf("  %s%s\n", Printable(file.path).c_str(),
                file.exists ? "" : "  (not there: nobody has it open)");
  }
  std::printf("  byte %d of %s is the drawing lock; byte p of %s locks page p\n", target.folderNo(),
              Printable(FileNameOf(files[0].path)).c_str(),
              Printable(FileNameOf(files[1].path)).c_str());
  if (holdings.empty() && others.empty()) {
    std::printf("No process on this computer has them open.\n");
  } else {
    const std::map<long, std::string> names = UserNames();
    std::printf("%-8s %-10s %-11s %-24s %s\n", "PID", "USER", "FILE", "HOLDS", "COMMAND");
    for (const Holding& holding : holdings) {
      std::printf("%-8ld %-10s %-11s %-24s %s\n", holding.pid,
                  Printable(UserOf(holding.pid, names)).c_str(),
                  Printable(FileNameOf(files[holding.file].path)).c_str(),
                  HoldsText(holding, holding.file == 1, target.folderNo()).c_str(),
                  Printable(CommandOf(holding.pid)).c_str());
    }
    // Somebody holds these bytes, but no process here that this user can see.
    const char* who = hidden > 0 ? "another client, or a process of another user here"
                                 : "another client (no process here)";
    for (const Holding& other : others)
      std::printf("%-8s %-10s %-11s %-24s %s\n", "-", "-",
                  Printable(FileNameOf(files[other.file].path)).c_str(),
                  HoldsText(other, other.file == 1, target.folderNo()).c_str(), who);
  }
  if (hidden > 0)
    std::printf("(%d processes of other users could not be looked into; root sees them all)\n",
                hidden);
  if (!noted.empty()) {
    std::printf("Held, by the holders' owner notes (any computer):\n");
    for (const LockHolder& holder : noted)
      std::printf("  %-14s %s\n", LockName(holder).c_str(), HolderLine(holder, now).c_str());
  }
  std::printf(
      "A lock records nobody's name; the owner notes beside the lock files name the holders\n"
      "on every computer, except clients that leave none (\"名前のわからないクライアント\").\n");
  return 0;
}

}  // namespace vexa::tool
