// vexafol info: a drawing's header and the information of each of its pages.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/drawing_name.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/file.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"
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

// One page file's information as the page list reads it.
struct PageRecord {
  int page = 0;
  std::string file;
  std::string error;  // why it could not be read; "" when it could
  VexaFilePageInfo info;
  bool complete = false;
};

PageRecord ReadPage(const CEnvironObj& env, const FolMember& drawing, int page) {
  PageRecord record;
  record.page = page;
  record.file = ResolveStoreName(drawing.GetPageFile(env, 0, page));
  File file;
  if (!file.Open(record.file, File::Mode::ReadOnly)) {
    record.error = std::string("cannot open the page file: ") + std::strerror(file.LastError());
    return record;
  }
  record.info.version = 100;
  try {
    record.complete = ReadPageFileInfo(file, record.info) != 0;
  } catch (const FileException& e) {
    record.error = std::string("read error: ") + e.what();
  }
  return record;
}

void PrintPage(const PageRecord& record) {
  std::printf("\nPage %d  %s\n", record.page, Printable(record.file).c_str());
  if (!record.error.empty()) {
    std::printf("  (%s)\n", Printable(record.error).c_str());
    return;
  }
  const VexaFilePageInfo& info = record.info;
  // The page list shows the page number counted from 1, then the caption.
  std::printf("  %d:%s\n", record.page + 1, Printable(info.Caption()).c_str());
  std::printf("  name:     %s\n", Printable(info.Name()).c_str());
  if (!info.SubName().empty()) std::printf("  sub name: %s\n", Printable(info.SubName()).c_str());
  std::printf("  version:  %d%s\n", info.version,
              record.complete ? "" : "  (record is cut short or malformed)");
}

void PrintJson(const CEnvironObj& env, const FolMember& drawing, int appId,
               const std::vector<PageRecord>& pages) {
  const VexaFileHeader& h = drawing.header;
  std::printf(
      "{\"path\": %s, \"number\": %d, \"appId\": %d, \"app\": %s, \"appTitle\": %s,\n"
      " \"title\": %s, \"pageCount\": %d, \"creator\": %s, \"updater\": %s, \"created\": %s,\n"
      " \"updated\": %s, \"memo\": %s, \"version\": %d,\n \"pages\": [",
      JsonString(drawing.path).c_str(), drawing.GetDrawingNo(env), appId,
      JsonString(AppCode(env, appId)).c_str(), JsonString(GetSenyouTitle(env, appId, 0)).c_str(),
      JsonString(h.Title()).c_str(), h.pageCount, JsonString(h.Creator()).c_str(),
      JsonString(h.Updater()).c_str(), JsonString(IsoTime(h.createTime)).c_str(),
      JsonString(IsoTime(h.updateTime)).c_str(), JsonString(h.Memo()).c_str(), h.version);
  for (size_t i = 0; i < pages.size(); ++i) {
    const PageRecord& p = pages[i];
    const bool read = p.error.empty();
    std::printf(
        "%s\n  {\"page\": %d, \"file\": %s, \"caption\": %s, \"name\": %s, \"subName\": %s, "
        "\"version\": %d, \"complete\": %s, \"error\": %s}",
        i ? "," : "", p.page, JsonString(p.file).c_str(),
        JsonString(read ? p.info.Caption() : "").c_str(),
        JsonString(read ? p.info.Name() : "").c_str(),
        JsonString(read ? p.info.SubName() : "").c_str(), read ? p.info.version : 0,
        p.complete ? "true" : "false", read ? "null" : JsonString(p.error).c_str());
  }
  std::printf("%s]}\n", pages.empty() ? "" : "\n");
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
  FolMember drawing;
  if (const int status = LoadDrawing(args, args.positional()[0], root, options, drawing.path))
    return status;
  const FolderEnvironObj env(root, options);
  const std::string folder = drawing.path;
  const int read = ReadFolderMember(env, folder, nullptr, drawing);
  const std::string indexPath = ResolveStoreName(drawing.GetIndexFile(env, 0));
  if (read > 0) return Fail(indexPath + ": cannot open the index file: " + std::strerror(read));
  if (read < 0) return Fail(indexPath + ": cannot read the header");
  const VexaFileHeader& header = drawing.header;
  const int appId = drawing.appId;
  // A damaged header may claim any page count; read no more pages than can exist.
  const int pageCount = header.pageCount < 0
                            ? 0
                            : (header.pageCount > kMaxPageCount ? kMaxPageCount : header.pageCount);
  std::vector<PageRecord> pages;
  for (int page = 0; page < pageCount; ++page) pages.push_back(ReadPage(env, drawing, page));
  if (args.Has("json")) {
    PrintJson(env, drawing, appId, pages);
    return 0;
  }
  std::printf("Drawing folder   %s\n", Printable(drawing.path).c_str());
  std::printf("Number           %d\n", drawing.GetDrawingNo(env));
  std::printf("Application      %s (%s, %s)\n", Printable(GetSenyouTitle(env, appId, 0)).c_str(),
              AppCode(env, appId).c_str(), HexId(appId).c_str());
  std::printf("図面名           %s\n", Printable(header.Title()).c_str());
  std::printf("図面ﾍﾟｰｼﾞ数      %d\n", header.pageCount);
  std::printf("作成者名         %s\n", Printable(header.Creator()).c_str());
  std::printf("変更者名         %s\n", Printable(header.Updater()).c_str());
  std::printf("作成日付         %s\n", DateTimeText(header.createTime).c_str());
  std::printf("変更日付         %s\n", DateTimeText(header.updateTime).c_str());
  PrintMemo(header.Memo());
  std::printf("Header version   %d\n", header.version);
  for (const PageRecord& page : pages) PrintPage(page);
  return 0;
}

}  // namespace vexa::tool
