#include "tools/lock_target.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "tools/drawing_name.h"

namespace vexa::tool {

int LockTarget::Load(Args& args, const std::string& command) {
  if (args.positional().size() != 1)
    return UsageError(command + " needs one drawing folder (see --help)");
  std::string root;
  FolderEnvironOptions options;
  if (const int status = LoadDrawing(args, args.positional()[0], root, options, path_))
    return status;
  env_ = std::make_unique<FolderEnvironObj>(root, options);
  files_ = GetDrawingLockFiles(*env_, path_);
  return 0;
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
