#include "select/ui/drawing_rows.h"

#include <algorithm>

#include "vexafol/folderlist.h"
#include "vexafol/sel_file_list.h"

namespace vexa {

void DrawingRows::Bind(VexaFolderList* list) {
  list_ = list;
  env_ = list ? &list->GetEnvObj() : nullptr;
  ++generation_;
  keys_.clear();
  SetMemberCount(0);
}

void DrawingRows::SetMemberCount(int count) {
  memberCount_ = std::max(0, count);
  backups_.assign(memberCount_, Backups::kUnknown);
}

void DrawingRows::ShowAll() {
  keys_.resize(memberCount_);
  for (int key = 0; key < memberCount_; ++key) keys_[key] = key;
}

void DrawingRows::Show(std::vector<int> keys) {
  keys_ = std::move(keys);
}

int DrawingRows::KeyAt(int row) const {
  return row >= 0 && row < Count() ? keys_[row] : -1;
}

bool DrawingRows::Matches(const FolMember* member) const {
  return env_ && vexa::Matches(criteria_, *env_, member);
}

DrawingRows::Backups DrawingRows::KnownBackups(int index) const {
  return index >= 0 && index < memberCount_ ? backups_[index] : Backups::kUnknown;
}

bool DrawingRows::ReadBackups(int index, const FolMember& member) {
  if (index < 0 || index >= memberCount_ || !env_) return false;
  if (backups_[index] == Backups::kUnknown) {
    int count = 0;
    if (!member.path.empty() && env_->IsExist(member.path) > 0) {
      CSelFileList entries;
      count = entries.AddFileList(*env_, member.path, "CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|BKUP.*", nullptr, 0, nullptr,
                                  nullptr);
    }
    backups_[index] = count != 0 ? Backups::kSome : Backups::kNone;
  }
  return backups_[index] == Backups::kSome;
}

}  // namespace vexa
