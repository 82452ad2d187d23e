// Does the file system of the store give the lock semantics the protocol needs?
// A probe file in the store folder is locked through two handles of this
// process and from a child process, and deleted through the in-use mark; its
// name in capitals tells whether names are case-sensitive; the mount table
// tells whether locks stay on this computer. The probe file is removed again.
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "check/storecheck_parts.h"
#include "platform/env.h"
#include "platform/mount_check.h"
#include "vexafol/file.h"

namespace vexa::check {
namespace {

constexpr uint64_t kProbeByte = 7;

std::string ErrorText(int error) {
  return std::strerror(error);
}

// In a child process: 0 when the byte that the parent holds is refused and
// another byte is granted, 1 when the held byte was granted, 2 when no lock works.
int ChildLockResult(const std::string& probe) {
  return platform::CurrentEnv().RunInChild([&probe] {
    File file;
    if (!file.Open(probe, File::Mode::ReadWrite)) return 2;
    if (file.LockRange(kProbeByte, 1)) return 1;
    return file.LockRange(kProbeByte + 1, 1) ? 0 : 2;
  });
}

// The first way in which locks on probe fail the protocol, or "".
std::string LockFailure(const std::string& probe) {
  File first, second;
  if (!first.Open(probe, File::Mode::ReadWrite))
    return "the probe file cannot be opened again: " + ErrorText(first.LastError());
  if (!first.LockRange(kProbeByte, 1))
    return "a byte-range lock is refused: " + ErrorText(first.LastError());
  if (!second.Open(probe, File::Mode::ReadWrite))
    return "a second handle cannot open the file: " + ErrorText(second.LastError());
  if (second.LockRange(kProbeByte, 1))
    return "a second handle of the same process was granted a byte the first holds "
           "(locks belong to the process, not to the handle)";
  switch (ChildLockResult(probe)) {
    case 0:
      break;
    case 1:
      return "another process was granted a byte this process holds";
    default:
      return "another process can take no lock at all";
  }
  // The in-use mark: the first handle is not the last user, so the file stays.
  first.CloseAndRemove();
  struct stat st;
  platform::Env& env = platform::CurrentEnv();
  if (env.Stat(probe, st) != 0)
    return "a file was deleted although another handle still had it open";
  second.CloseAndRemove();
  if (env.Stat(probe, st) == 0) return "the last user of a file could not delete it";
  return "";
}

}  // namespace

void CheckFileSystem(const StoreTree& tree, StoreCheckReport& report) {
  StoreFileSystemFacts& facts = report.facts;
  platform::Env& env = platform::CurrentEnv();
  facts.localLocks =
      platform::LocalLockOption(env.ReadSystemFile("/proc/self/mountinfo"),
                                major(tree.rootStat.st_dev), minor(tree.rootStat.st_dev));
  if (!facts.localLocks.empty()) {
    report.Add({"mount", tree.root,
                "the mount keeps file locks on this computer (" + facts.localLocks + ")",
                "users on other computers do not see the locks taken here, nor these users "
                "theirs: two of them can edit one drawing at once",
                "mount the share without nolock / local_lock (NFS) or nobrl (SMB)"});
  }

  const std::string probe = tree.root + "/.vexafol-check." + std::to_string(getpid());
  File maker;
  if (!maker.Open(probe, File::Mode::ReadWrite)) {
    report.Add({"filesystem", tree.root,
                "cannot make a file in the store folder: " + ErrorText(maker.LastError()),
                "lock files cannot be made here either: drawings cannot be locked and read as "
                "locked",
                "give your user write access to the store folder (see docs/shared-stores.md)"});
    return;
  }
  facts.probed = true;
  std::string upper = probe;
  for (size_t i = tree.root.size(); i < upper.size(); ++i)
    if (upper[i] >= 'a' && upper[i] <= 'z') upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
  struct stat st;
  facts.caseSensitive = env.Stat(upper, st) != 0;
  maker.Close();

  const std::string failure = LockFailure(probe);
  facts.locksWork = failure.empty();
  if (!facts.locksWork) {
    report.Add({"locking", tree.root, failure,
                "the lock files cannot keep two users out of one drawing on this file system",
                "keep the store on a local file system or on NFS v4 / SMB with byte-range locks"});
  }
  env.Unlink(probe);  // still there when the locks failed
}

}  // namespace vexa::check
