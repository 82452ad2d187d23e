// Another process that holds locks through its own VexaFolderLock until the
// holder object is destroyed.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "vexafol/folderlock.h"

namespace vexa::test {

class LockHolder {
 public:
  // take runs in the child; ok() tells whether it answered true.
  LockHolder(const CEnvironObj& env, const std::function<bool(VexaFolderLock&)>& take) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      VexaFolderLock lock(&env);
      const char answer = take(lock) ? '1' : '0';
      char byte;
      if (write(ready[1], &answer, 1) == 1) {
        while (read(release[0], &byte, 1) > 0) {
        }
      }
      _exit(0);  // the kernel drops the locks; none of the parent's objects are destroyed
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char answer = '0';
    ok_ = pid_ > 0 && read(ready[0], &answer, 1) == 1 && answer == '1';
    close(ready[0]);
  }
  ~LockHolder() {
    if (release_ >= 0) close(release_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool ok() const { return ok_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool ok_ = false;
};

}  // namespace vexa::test
