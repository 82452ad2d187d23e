// ZmnListPrint: the nine fields of one drawing for the drawing-list form.
#include "vexafol/zmn_list_print.h"

#include <utility>

#include "vexafol/senyou.h"

namespace vexa {

ZmnListPrint::ZmnListPrint(std::string formFile, const FolMember* const* members, int count,
                           const CEnvironObj& env)
    : formFile_(std::move(formFile)), members_(members), count_(count), env_(&env) {}

int ZmnListPrint::GetFormFile(std::string& out) {
  out = formFile_;
  return 1;
}

int ZmnListPrint::GetRepeatCount(int repeatKind, int) {
  if (repeatKind != kZmnListRepeatKind) return 1;
  return members_ ? count_ : 0;
}

signed char ZmnListPrint::GetRecordItem(int repeatKind, int, int fieldCode, int recordIndex, int,
                                        std::string& text, unsigned long*) {
  if (repeatKind != kZmnListRepeatKind || !members_ || recordIndex < 0 || recordIndex >= count_) {
    return -1;
  }
  const FolMember* member = members_[recordIndex];
  if (!member) return -1;
  SYSTEMTIME time{};
  switch (fieldCode) {
    case kZmnFieldNumber:
      // The drawing's own number: a backup folder counts as the drawing that holds it.
      text = std::to_string(member->GetDrawingNo(*env_));
      return 1;
    case kZmnFieldTitle:
      text = member->header.Title();
      return 1;
    case kZmnFieldApplication:
      text = GetSenyouTitle(*env_, member->appId, 0);
      return 1;
    case kZmnFieldPageCount:
      text = std::to_string(member->header.pageCount);
      return 1;
    case kZmnFieldCreator:
      text = member->header.Creator();
      return 1;
    case kZmnFieldUpdater:
      text = member->header.Updater();
      return 1;
    case kZmnFieldCreateDate:
      member->GetCreateSysTime(time);
      text = FolMember::GetDateString(time);
      return 1;
    case kZmnFieldUpdateDate:
      member->GetUpdateSysTime(time);
      text = FolMember::GetDateString(time);
      return 1;
    case kZmnFieldMemo:
      text = member->header.Memo();
      return 1;
    default:
      return -1;
  }
}

int ZmnListPrint::AcceptItem(int, int, int, int, const CJknSet*) {
  return 1;
}

}  // namespace vexa
