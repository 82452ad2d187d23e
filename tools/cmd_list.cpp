// vexafol list: the drawings of a store as the selection dialog's grid shows
// them, with their lock state; or as JSON for scripts.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tools/columns.h"
#include "tools/command.h"
#include "tools/drawing_name.h"
#include "tools/holder_text.h"
#include "tools/list_choice.h"
#include "tools/load_progress.h"
#include "tools/lock_file_check.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "tools/support/local_system.h"
#include "vexafol/drawing_lock_files.h"
#include "vexafol/drawing_row.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/lock_holder.h"
#include "vexafol/senyou.h"

namespace vexa::tool {
namespace {

struct Row {
  const FolMember* member;
  std::vector<std::string> cells;  // the grid's nine columns, the lock column, the holder
  std::string holderJson;          // "null" for a free drawing
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

Row MakeRow(const CEnvironObj& env, const FolMember& member, int64_t now) {
  Row row{&member, {}, "null"};
  for (int column = 0; column < kDrawingColumnCount; ++column)
    row.cells.push_back(DrawingColumnText(env, member, column));
  row.cells.push_back(LockText(member.lockState));
  // Who has it, asked only for the drawings the load found in use.
  const LockHolder holder = member.lockState != 0 ? GetInUseHolder(env, member.path) : LockHolder{};
  row.cells.push_back(LockHolderText(holder, now));
  row.holderJson = HolderJson(holder, now);
  return row;
}

void PrintTable(std::vector<Row> rows) {
  for (Row& row : rows) row.cells = PrintableCells(row.cells);
  const std::vector<std::string> headers = {"No",     "図面名", "CAD",    "PAGE",
                                            "作成者", "変更者", "作成日", "変更日",
                                            "メモ",   "ロック", "使用者"};
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
        "\"updated\": %s, \"memo\": %s, \"lockState\": %d, \"holder\": %s}",
        i ? "," : "", m.GetDrawingNo(env), JsonString(rows[i].cells[kColumnNumber]).c_str(),
        JsonString(m.path).c_str(), JsonString(h.Title()).c_str(), m.appId,
        JsonString(rows[i].cells[kColumnApplication]).c_str(), h.pageCount,
        JsonString(h.Creator()).c_str(), JsonString(h.Updater()).c_str(),
        JsonString(IsoTime(h.createTime)).c_str(), JsonString(IsoTime(h.updateTime)).c_str(),
        JsonString(h.Memo()).c_str(), m.lockState, rows[i].holderJson.c_str());
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

}  // namespace

int RunList(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const FolderEnvironObj env(root, options);
  ListChoice choice;
  std::string error;
  if (!ReadListChoice(args, choice, error)) return UsageError(error);

  VexaFolderList list(env);
  int mask = static_cast<int>(choice.app.value_or(-1));
  int flags = args.Has("no-locks") ? VexaFolderList::kLoadNoLocks : 0;
  if (args.Has("recycled")) flags |= VexaFolderList::kLoadRecycled;
  if (auto name = args.Value("backups")) {
    std::string drawing;
    if (!DrawingFolder(env, *name, drawing, error)) return UsageError(error);
    if (env.IsExist(drawing) <= 0) return Fail(drawing + ": no such drawing folder");
    list.SetLoadPath(drawing);
    flags |= VexaFolderList::kLoadBackups;
    // The backup scan runs once per application of the mask: one is enough.
    if (!choice.app) mask = GetPathToSenyouId(env, drawing);
  }
  {
    const TerminalLoadProgress progress("list");
    list.Load(mask, flags);
  }

  std::vector<Row> rows;
  const int64_t now = FileTimeToUnix(CurrentFileTime());
  for (const FolMember* member : ChosenMembers(env, list, choice))
    rows.push_back(MakeRow(env, *member, now));
  if (!(flags & VexaFolderList::kLoadNoLocks)) ReportUnusableLockFiles(env, rows);
  if (args.Has("json"))
    PrintJson(env, rows);
  else
    PrintTable(std::move(rows));
  return 0;
}

}  // namespace vexa::tool
