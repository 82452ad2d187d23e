// vexafol delete: moves one drawing into the recycle folder with the steps
// and texts of the selection dialog's delete, the question answered on the
// terminal.
#include <cstdio>
#include <iostream>
#include <string>

#include "tools/command.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "tools/support/local_system.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/recycle.h"

namespace vexa::tool {
namespace {

// Yes only for an answer of "y", "yes" or "はい"; end of input is No.
bool AskYes(const std::string& question) {
  std::printf("%s: %s [y/N] ", kDeleteTitle, Printable(question).c_str());
  std::fflush(stdout);
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    std::printf("\n");
    return false;
  }
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "はい";
}

}  // namespace

int RunDelete(Args& args) {
  LockTarget target;
  if (const int status = target.Load(args, "delete")) return status;
  const CEnvironObj& env = target.env();
  if (!env.IsOpeAllowed(kOpeDeleteDrawing)) return Fail("deleting is not allowed");

  VexaFolderLock locks(&env);
  FolMember member;
  const std::string listed = ListedDrawingFolder(env, target.path());
  if (listed.empty() || ReadFolderMember(env, listed, &locks, member) != 0)
    return Fail(target.path() + ": not a drawing of the store (no readable index file)");

  const std::string label = DeleteLabel(env, member);
  const std::string refusal = DeleteRefusal(member, 0);
  if (!refusal.empty() && member.lockState != 0) {
    // On a read-only mount no lock file can be opened, so every drawing reads
    // as in use: the file system is the cause, not another user.
    const std::string readOnly = ReadOnlyFileSystemText(member.path);
    if (!readOnly.empty()) return Fail(DeleteFailed(label, readOnly));
  }
  if (!refusal.empty()) return Fail(std::string(kDeleteTitle) + ": " + refusal);
  if (!args.Has("yes") && !AskYes(DeleteQuestion(label))) return kExitFailure;

  std::string error;
  if (!MoveToRecycle(env, member, error)) return Fail(DeleteFailed(label, error));
  std::printf("%s\n", Printable(DeleteDone(label)).c_str());
  return 0;
}

}  // namespace vexa::tool
