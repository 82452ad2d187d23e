// vexafol info: a drawing's header and the information of each of its pages.
#include <cstdio>
#include <cstring>

#include "tools/command.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/file.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"
#include "vexafol/store_name.h"

namespace vexa::tool {
namespace {

std::string DateTimeText(const FILETIME& time) {
  FolMember probe;
  probe.header.createTime = time;
  SYSTEMTIME local{};
  probe.GetCreateSysTime(local);
  if (local.wYear == 0) return "(not a valid time)";
  return FolMember::GetDateString(local) + " " + FolMember::GetTimeString(local);
}

void PrintPage(const CEnvironObj& env, const FolMember& drawing, int page) {
  const std::string path = ResolveStoreName(drawing.GetPageFile(env, 0, page));
  std::printf("\nPage %d  %s\n", page, Printable(path).c_str());
  File file;
  if (!file.Open(path, File::Mode::ReadOnly)) {
    std::printf("  (cannot open the page file: %s)\n", std::strerror(file.LastError()));
    return;
  }
  VexaFilePageInfo info;
  info.version = 100;
  int ok = 0;
  try {
    ok = ReadPageFileInfo(file, info);
  } catch (const FileException& e) {
    std::printf("  (read error: %s)\n", Printable(e.what()).c_str());
    return;
  }
  // The page list shows the page number counted from 1, then the caption.
  std::printf("  %d:%s\n", page + 1, Printable(info.Caption()).c_str());
  std::printf("  name:     %s\n", Printable(info.Name()).c_str());
  if (!info.SubName().empty()) std::printf("  sub name: %s\n", Printable(info.SubName()).c_str());
  std::printf("  version:  %d%s\n", info.version, ok ? "" : "  (record is cut short or malformed)");
}

// The memo's lines one below the other (CR LF between lines, as the dialog
// writes them); any other control character is shown escaped.
void PrintMemo(const std::string& memo) {
  const char* label = "メモ             ";
  size_t start = 0;
  do {
    size_t end = memo.find("\r\n", start);
    if (end == std::string::npos) end = memo.size();
    std::printf("%s%s\n", label, Printable(memo.substr(start, end - start)).c_str());
    label = "                 ";
    start = end + 2;
  } while (start < memo.size());
}

}  // namespace

int RunInfo(Args& args) {
  if (args.positional().size() != 1)
    return UsageError("info needs one drawing folder (see --help)");
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const FolderEnvironObj env(root, options);
  FolMember drawing;
  drawing.path = args.positional()[0];
  while (drawing.path.size() > 1 && drawing.path.back() == '/') drawing.path.pop_back();
  if (env.IsExist(drawing.path) <= 0) return Fail(drawing.path + ": no such drawing folder");
  const std::string indexPath = ResolveStoreName(drawing.GetIndexFile(env, 0));
  File index;
  if (!index.Open(indexPath, File::Mode::ReadOnly))
    return Fail(indexPath + ": cannot open the index file: " + std::strerror(index.LastError()));
  try {
    if (!ReadHeadFile(index, drawing.header)) return Fail(indexPath + ": cannot read the header");
  } catch (const FileException& e) {
    return Fail(e.what());
  }
  const VexaFileHeader& header = drawing.header;
  const int appId = GetPathToSenyouId(env, drawing.path);
  std::printf("Drawing folder   %s\n", Printable(drawing.path).c_str());
  std::printf("Number           %d\n", drawing.GetFolderNo(env) + 1);
  std::printf("Application      %s (%s)\n", Printable(GetSenyouTitle(env, appId, 0)).c_str(),
              HexId(appId).c_str());
  std::printf("図面名           %s\n", Printable(header.Title()).c_str());
  std::printf("図面ﾍﾟｰｼﾞ数      %d\n", header.pageCount);
  std::printf("作成者名         %s\n", Printable(header.Creator()).c_str());
  std::printf("変更者名         %s\n", Printable(header.Updater()).c_str());
  std::printf("作成日付         %s\n", DateTimeText(header.createTime).c_str());
  std::printf("変更日付         %s\n", DateTimeText(header.updateTime).c_str());
  PrintMemo(header.Memo());
  std::printf("Header version   %d\n", header.version);
  // A damaged header may claim any page count; list no more pages than can exist.
  const int pages = header.pageCount < 0 ? 0 : (header.pageCount > 1000 ? 1000 : header.pageCount);
  for (int page = 0; page < pages; ++page) PrintPage(env, drawing, page);
  return 0;
}

}  // namespace vexa::tool
