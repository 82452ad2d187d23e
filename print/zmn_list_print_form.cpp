// The standard drawing-list form: its folder under the host's forms path and
// its installation there from the copy built into the library.
#include <unistd.h>

#include <cerrno>

#include "platform/env.h"
#include "platform/store_fs.h"
#include "print/zmn_list_form_text.h"
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
  // Both by the descriptor of the forms folder: a link put in its place or
  // under either name is never written through.
  platform::StoreDir forms;
  if (platform::StoreDir::OpenBelow(folder, folder, forms) != 0) return 0;
  const std::string temporary =
      std::string(kZmnListStandardForm) + ".tmp" + std::to_string(getpid());
  forms.RemoveFile(temporary);
  const int fd = forms.CreateFile(temporary);  // with the folder's modes
  if (fd < 0) return 0;
  platform::Env& system = platform::CurrentEnv();
  bool ok = WriteAll(system, fd, print::kZmnListFormText);
  ok = system.Close(fd) == 0 && ok;
  const int renamed = ok ? forms.Rename(temporary, forms, kZmnListStandardForm) : -EIO;
  if (renamed != 0) forms.RemoveFile(temporary);
  return renamed == 0 || env.IsExist(path) == 0 ? 1 : 0;
}

}  // namespace vexa
