#include "vexafol/drawing_row.h"

#include "platform/case_lookup.h"
#include "store/store_names.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa {
namespace {

std::string NumberText(const CEnvironObj& env, const FolMember& member) {
  const std::string name = env.GetFileNameFromRelativePath(member.path);
  const std::string number = std::to_string(member.GetDrawingNo(env));
  if (platform::EqualsNoCase(name, kBackupName)) return "※" + number;
  if (platform::EqualsNoCase(env.GetBaseNameFromFileName(name), kBackupName)) {
    const int history = env.GetExtNumber(name);
    if (history >= 0) return "履歴" + std::to_string(history);
  }
  return number;
}

std::string DateText(const FolMember& member, bool created) {
  SYSTEMTIME time{};
  created ? member.GetCreateSysTime(time) : member.GetUpdateSysTime(time);
  return time.wYear == 0 ? "" : FolMember::GetDateString(time);
}

std::string OneLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  return out;
}

}  // namespace

std::string DrawingColumnText(const CEnvironObj& env, const FolMember& member, int column) {
  const VexaFileHeader& header = member.header;
  switch (column) {
    case kColumnNumber:
      return NumberText(env, member);
    case kColumnTitle:
      return header.Title();
    case kColumnApplication:
      return GetSenyouTitle(env, member.appId, 0);
    case kColumnPages:
      return std::to_string(header.pageCount);
    case kColumnCreator:
      return header.Creator();
    case kColumnUpdater:
      return header.Updater();
    case kColumnCreated:
      return DateText(member, true);
    case kColumnUpdated:
      return DateText(member, false);
    case kColumnMemo:
      return OneLine(header.Memo());
    default:
      return "";
  }
}

}  // namespace vexa
