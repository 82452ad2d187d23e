#include "tools/drawing_name.h"

#include <cerrno>
#include <cstdlib>

#include "tools/store_env.h"
#include "tools/store_find.h"
#include "tools/support/local_system.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"
#include "vexafol/store_name.h"

namespace vexa::tool {
namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

int ApplicationOf(const CEnvironObj& env, const std::string& text) {
  for (const int id : AppIdsWithFolders(env)) {
    if (SameIgnoringCase(AppCode(env, id), text)) return id;
  }
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || errno != 0) return 0;
  for (const int id : AppIdsWithFolders(env))
    if (id == number) return id;
  return 0;
}

namespace {

std::string KnownCodes(const CEnvironObj& env) {
  std::string codes;
  for (const int id : AppIdsWithFolders(env))
    codes += (codes.empty() ? "" : ", ") + AppCode(env, id);
  return codes;
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  const std::string here = WorkingFolder();
  return here.empty() ? "" : here + "/" + path;
}

}  // namespace

bool LooksLikeDrawingName(const std::string& word) {
  const size_t mark = word.find_first_of("/:");
  return mark != std::string::npos && mark > 0 && AllDigits(word.substr(mark + 1));
}

std::string AppCode(const CEnvironObj& env, int id) {
  const std::string folder = GetSenyouPath(env, id);
  return folder.empty() ? "" : env.GetFileNameFromRelativePath(folder);
}

std::vector<int> AppIdsWithFolders(const CEnvironObj& env) {
  std::vector<int> ids;
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    if (!AppCode(env, id).empty()) ids.push_back(id);
  }
  return ids;
}

bool DrawingFolder(const CEnvironObj& env, const std::string& word, std::string& folder,
                   std::string& error) {
  if (!LooksLikeDrawingName(word)) {
    folder = word;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return true;
  }
  const size_t mark = word.find_first_of("/:");
  const int id = ApplicationOf(env, word.substr(0, mark));
  if (id == 0) {
    error = word + ": no application '" + word.substr(0, mark) + "' (codes: " + KnownCodes(env) +
            "; write ./" + word + " for a path)";
    return false;
  }
  const long number = std::strtol(word.c_str() + mark + 1, nullptr, 10);
  if (word.size() - mark - 1 > 3 || number < kFirstDrawingNo || number > kLastDrawingNo) {
    error = word + ": drawing numbers are " + std::to_string(kFirstDrawingNo) + " to " +
            std::to_string(kLastDrawingNo);
    return false;
  }
  folder = GetSenyouPath(env, id);
  env.AddFileName(folder, "Fol" + env.GetExtStr(static_cast<int>(number)));
  folder = ResolveStoreName(folder);
  return true;
}

int LoadDrawing(Args& args, const std::string& word, std::string& root,
                FolderEnvironOptions& options, std::string& folder) {
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  if (!args.Has("store") && !LooksLikeDrawingName(word)) {
    const std::string enclosing = EnclosingStore(Absolute(word));
    if (!enclosing.empty()) root = enclosing;
  }
  const FolderEnvironObj env(root, options);
  std::string error;
  if (!DrawingFolder(env, word, folder, error)) return UsageError(error);
  if (env.IsExist(folder) <= 0) return Fail(folder + ": no such drawing folder");
  return 0;
}

}  // namespace vexa::tool
