// Which of the supported deployments of docs/shared-stores.md a store is in,
// told from the mount that holds it (/proc/self/mountinfo) and from the Samba
// shares of this computer (`testparm -s`): an SMB share mounted from a file
// server, NFS, a local disk, or a local folder that Samba exports to Windows
// clients while Linux users here open it natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa::check {

// A share of `testparm -s` with what decides how its Windows clients meet
// Linux users who open the folder natively.
struct SambaShare {
  std::string name;
  std::string path;
  bool posixLocking = true;     // Windows clients' byte locks become fcntl locks
  bool oplocks = true;          // clients may cache (and then keep their locks to themselves)
  bool kernelOplocks = false;   // local opens break oplocks
  std::string vetoOplockFiles;  // "/*.LOC/LOCK.TMP/"
};

// The file shares in the text of `testparm -s`: share parameters given in
// [global] are every share's default; printers and shares without a path are
// left out.
std::vector<SambaShare> ParseTestparm(std::string_view text);

// Whether the share may grant oplocks on the lock files (CADAPP.LOC,
// FOLnnn.LOC, LOCK.TMP) without local opens breaking them.
bool OplocksOnLockFiles(const SambaShare& share);

enum class Deployment { Unknown, SmbClient, Nfs, Local, SambaExport };

// The deployment of a store on a file system of type fsType ("" when the
// mount is unknown), exported or not by a Samba share of this computer.
Deployment DeploymentOf(const std::string& fsType, bool exportedBySamba);

// "smb-client", "nfs", "local", "samba-export", "unknown".
const char* DeploymentName(Deployment deployment);

}  // namespace vexa::check
