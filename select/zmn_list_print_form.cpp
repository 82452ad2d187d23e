// The standard drawing-list form: its folder under the host's forms path and
// its installation there from the copy built into the library.
#include <unistd.h>

#include <cerrno>

#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/regular_file.h"
#include "select/zmn_list_form_text.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {
namespace {

bool WriteAll(platform::Env& env, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = env.Write(fd, bytes.data(), bytes.size());
    if (count <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

}  // namespace

std::string GetZmnListFormFolder(const CEnvironObj& env) {
  std::string folder = env.GetPath(kPathForms);
  if (folder.empty()) return "";
  env.AddFileName(folder, "CAD");
  env.AddFileName(folder, "812101");
  return folder;
}

int InstallZmnListForm(const CEnvironObj& env) {
  const std::string folder = GetZmnListFormFolder(env);
  if (folder.empty()) return 0;
  std::string path = folder;
  env.AddFileName(path, kZmnListStandardForm);
  if (env.IsExist(path) == 0) return 1;
  if (!env.CreateDir(path, 0)) return 0;
  // Written whole under a temporary name and then given the form's name, so
  // that no reader ever sees half a form and a form put there meanwhile stays.
  platform::Env& system = platform::CurrentEnv();
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  system.Unlink(temporary);
  const int fd = platform::OpenRegularFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666,
                                           platform::LinkPolicy::Refuse);
  if (fd < 0) return 0;
  bool ok = WriteAll(system, fd, select::kZmnListFormText);
  platform::GiveNewFileMode(fd, path);  // best effort, as for any new file
  ok = system.Close(fd) == 0 && ok;
  const int renamed = ok ? system.RenameNoReplace(temporary, path) : -EIO;
  if (renamed != 0) system.Unlink(temporary);
  return renamed == 0 || env.IsExist(path) == 0 ? 1 : 0;
}

}  // namespace vexa
