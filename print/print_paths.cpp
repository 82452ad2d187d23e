// CFormPathList: the folders of the host's print forms.
#include "vexafol/print.h"

namespace vexa {

void CFormPathList::AddPath(const std::string& folder) {
  folders_.push_back(folder);
}

std::string CFormPathList::GetPath(int index) const {
  if (index < 0 || index >= GetCount()) return "";
  return folders_[static_cast<size_t>(index)];
}

std::string CFormPathList::FindForm(const CEnvironObj& env, const std::string& name) const {
  if (name.empty()) return "";
  for (const std::string& folder : folders_) {
    std::string path = folder;
    env.AddFileName(path, name);
    if (env.IsExist(path) == 0) return path;
  }
  return "";
}

}  // namespace vexa
