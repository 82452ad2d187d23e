// vexafol list: the drawings of a store as the selection dialog's grid shows
// them, with their lock state; or as JSON for scripts.
#include <cstdio>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "tools/columns.h"
#include "tools/command.h"
#include "tools/lock_file_check.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/drawing_lock_files.h"
#include "vexafol/drawing_row.h"
#include "vexafol/filetime.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/local_system.h"
#include "vexafol/senyou.h"

namespace vexa::tool {
namespace {

// The grid's default without stored settings: by update date, newest first.
constexpr int kDefaultSortType = kSortUpdateTime;
constexpr int kDefaultSortDir = -1;

struct Row {
  const FolMember* member;
  std::vector<std::string> cells;  // the grid's nine columns, then the lock column
};

const char* LockText(int state) {
  return state == 1 ? "使用中" : state == 2 ? "ページ使用中" : "";
}

// The cells as the table prints them: store text with control characters and
// invalid bytes escaped.
std::vector<std::string> PrintableCells(const std::vector<std::string>& cells) {
  std::vector<std::string> shown;
  for (const std::string& cell : cells) shown.push_back(Printable(cell));
  return shown;
}

Row MakeRow(const CEnvironObj& env, const FolMember& member) {
  Row row{&member, {}};
  for (int column = 0; column < kDrawingColumnCount; ++column)
    row.cells.push_back(DrawingColumnText(env, member, column));
  row.cells.push_back(LockText(member.lockState));
  return row;
}

void PrintTable(std::vector<Row> rows) {
  for (Row& row : rows) row.cells = PrintableCells(row.cells);
  const std::vector<std::string> headers = {"No",     "図面名", "CAD",    "PAGE", "作成者",
                                            "変更者", "作成日", "変更日", "メモ", "ロック"};
  std::vector<size_t> widths;
  for (const std::string& header : headers) widths.push_back(DisplayWidth(header));
  for (const Row& row : rows)
    for (size_t c = 0; c < row.cells.size(); ++c)
      widths[c] = std::max(widths[c], DisplayWidth(row.cells[c]));
  const bool colour = OutputIsTerminal();
  auto print = [&](const std::vector<std::string>& cells, bool locked) {
    std::string line;
    for (size_t c = 0; c < cells.size(); ++c) {
      const bool last = c + 1 == cells.size();
      line += last ? cells[c] : PadToColumns(cells[c], widths[c]) + "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (locked && colour) line = "\x1b[31m" + line + "\x1b[0m";  // the grid's red
    std::printf("%s\n", line.c_str());
  };
  print(headers, false);
  for (const Row& row : rows) print(row.cells, row.member->lockState != 0);
}

void PrintJson(const CEnvironObj& env, const std::vector<Row>& rows) {
  std::printf("[");
  for (size_t i = 0; i < rows.size(); ++i) {
    const FolMember& m = *rows[i].member;
    const VexaFileHeader& h = m.header;
    std::printf(
        "%s\n  {\"no\": %d, \"mark\": %s, \"path\": %s, \"title\": %s, \"appId\": %d, "
        "\"cad\": %s, \"pages\": %d, \"creator\": %s, \"updater\": %s, \"created\": %s, "
        "\"updated\": %s, \"memo\": %s, \"lockState\": %d}",
        i ? "," : "", m.GetFolderNo(env) + 1, JsonString(rows[i].cells[kColumnNumber]).c_str(),
        JsonString(m.path).c_str(), JsonString(h.Title()).c_str(), m.appId,
        JsonString(rows[i].cells[kColumnApplication]).c_str(), h.pageCount,
        JsonString(h.Creator()).c_str(), JsonString(h.Updater()).c_str(),
        JsonString(IsoTime(h.createTime)).c_str(), JsonString(IsoTime(h.updateTime)).c_str(),
        JsonString(h.Memo()).c_str(), m.lockState);
  }
  std::printf("%s]\n", rows.empty() ? "" : "\n");
}

// A lock file that cannot be opened shows every drawing that needs it as in
// use; say which file and why on standard error, once per file.
void ReportUnusableLockFiles(const CEnvironObj& env, const std::vector<Row>& rows) {
  std::set<std::string> checked;
  auto check = [&](const std::string& path, Missing missing) {
    if (!checked.insert(path).second) return;
    const std::string problem = LockFileProblem(path, missing);
    if (!problem.empty()) Fail(problem + " (its drawings show as in use)");
  };
  for (const Row& row : rows) {
    if (row.member->lockState == 0) continue;
    const DrawingLockFiles files = GetDrawingLockFiles(env, row.member->path);
    if (!files.lockable) continue;
    check(files.drawingLockFile, Missing::Create);
    check(files.pageLockFile, Missing::Skip);
  }
}

// "YYYY-MM-DD" as seconds at noon of that local day (the search compares days).
bool ParseDay(const std::string& text, int64_t& seconds) {
  struct tm day {};
  int year = 0, month = 0, mday = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &mday, &rest) != 3) return false;
  if (month < 1 || month > 12 || mday < 1 || mday > 31 || year < 1601 || year > 9999) return false;
  day.tm_year = year - 1900;
  day.tm_mon = month - 1;
  day.tm_mday = mday;
  day.tm_hour = 12;
  day.tm_isdst = -1;
  seconds = static_cast<int64_t>(mktime(&day));
  return true;
}

// "FROM..TO", "FROM..", "..TO" or one day for both ends.
bool ParseDays(const std::string& text, int64_t& from, int64_t& to) {
  const size_t dots = text.find("..");
  const std::string first = dots == std::string::npos ? text : text.substr(0, dots);
  const std::string second = dots == std::string::npos ? text : text.substr(dots + 2);
  if (first.empty() && second.empty()) return false;
  if (!ParseDay(first.empty() ? "1601-01-01" : first, from)) return false;
  return ParseDay(second.empty() ? "9999-12-30" : second, to);
}

// "FROM-TO" or one number.
bool ParseNumbers(const std::string& text, int& from, int& to) {
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d%c", &from, &to, &rest) == 2) return true;
  if (std::sscanf(text.c_str(), "%d%c", &from, &rest) == 1) {
    to = from;
    return true;
  }
  return false;
}

bool ReadCriteria(Args& args, FindCriteria& criteria, std::string& error) {
  if (auto text = args.Value("no")) {
    criteria.useNo = 1;
    if (!ParseNumbers(*text, criteria.noFrom, criteria.noTo)) error = "--no wants FROM-TO";
  }
  auto text = [&](const char* option, int& use, std::string& field) {
    if (auto value = args.Value(option)) {
      use = 1;
      field = *value;
    }
  };
  text("name", criteria.useName, criteria.name);
  text("creator", criteria.useCreator, criteria.creator);
  text("updater", criteria.useUpdater, criteria.updater);
  for (const std::string& line : args.Values("memo")) {
    criteria.useMemo = 1;
    criteria.memo += line + "\r\n";
  }
  if (auto days = args.Value("created")) {
    criteria.useCreated = 1;
    if (!ParseDays(*days, criteria.createdFrom, criteria.createdTo))
      error = "--created wants YYYY-MM-DD..YYYY-MM-DD";
  }
  if (auto days = args.Value("updated")) {
    criteria.useUpdated = 1;
    if (!ParseDays(*days, criteria.updatedFrom, criteria.updatedTo))
      error = "--updated wants YYYY-MM-DD..YYYY-MM-DD";
  }
  return error.empty();
}

}  // namespace

int RunList(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const FolderEnvironObj env(root, options);
  const std::optional<long> app = args.Number("app");
  const std::optional<long> sortType = args.Number("sort");
  const std::optional<long> sortDir = args.Number("dir");
  if (!args.ok()) return UsageError(args.error());
  if (sortType && (*sortType < 0 || *sortType > 8)) return UsageError("--sort wants a type 0 to 8");
  if (sortDir && (*sortDir < -1 || *sortDir > 1)) return UsageError("--dir wants -1, 0 or 1");
  FindCriteria criteria;
  std::string error;
  if (!ReadCriteria(args, criteria, error)) return UsageError(error);

  VexaFolderList list(env);
  int mask = static_cast<int>(app.value_or(-1));
  int flags = args.Has("no-locks") ? VexaFolderList::kLoadNoLocks : 0;
  if (args.Has("recycled")) flags |= VexaFolderList::kLoadRecycled;
  if (auto drawing = args.Value("backups")) {
    if (env.IsExist(*drawing) <= 0) return Fail(*drawing + ": no such drawing folder");
    list.SetLoadPath(*drawing);
    flags |= VexaFolderList::kLoadBackups;
    // The backup scan runs once per application of the mask: one is enough.
    if (!app) mask = GetPathToSenyouId(env, *drawing);
  }
  list.Load(mask, flags);
  list.SetSortType(static_cast<int>(sortType.value_or(kDefaultSortType)),
                   static_cast<int>(sortDir.value_or(kDefaultSortDir)));

  std::vector<Row> rows;
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const FolMember* member = list.GetSortedFolderMember(i);
    if (Matches(criteria, env, member)) rows.push_back(MakeRow(env, *member));
  }
  if (!(flags & VexaFolderList::kLoadNoLocks)) ReportUnusableLockFiles(env, rows);
  if (args.Has("json"))
    PrintJson(env, rows);
  else
    PrintTable(std::move(rows));
  return 0;
}

}  // namespace vexa::tool
