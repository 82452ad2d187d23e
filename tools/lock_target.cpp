#include "tools/lock_target.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "lock/drawing_key.h"
#include "lock/lock_file.h"
#include "tools/store_env.h"
#include "vexafol/senyou.h"

namespace vexa::tool {

bool LockTarget::Load(Args& args) {
  if (args.positional().size() != 1) {
    error_ = "needs one drawing folder (see --help)";
    return false;
  }
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) {
    error_ = args.error();
    return false;
  }
  env_ = std::make_unique<FolderEnvironObj>(root, options);
  path_ = args.positional()[0];
  while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
  if (env_->IsExist(path_) <= 0) {
    error_ = path_ + ": no such drawing folder";
    return false;
  }
  appId_ = GetPathToSenyouId(*env_, path_);
  slot_ = lock::SlotOfApplication(appId_);
  folderNo_ = lock::FolderNumberOf(*env_, path_);
  drawingLockFile_ = lock::DrawingLockPath(*env_, path_);
  pageLockFile_ = lock::PageLockPath(*env_, path_, folderNo_);
  return true;
}

bool LockTarget::Lockable() const {
  return slot_ >= 0 && folderNo_ >= lock::kFirstFolderNo && folderNo_ <= lock::kLastFolderNo;
}

bool PageOptions(const Args& args, std::vector<int>& pages, std::string& error) {
  for (const std::string& text : args.Values("page")) {
    char* end = nullptr;
    errno = 0;
    const long page = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || page < INT_MIN || page > INT_MAX) {
      error = "option --page: '" + text + "' is not a page number";
      return false;
    }
    pages.push_back(static_cast<int>(page));
  }
  return true;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace vexa::tool
