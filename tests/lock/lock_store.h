// A drawing store in a temporary folder for the lock tests: a folder-backed
// host environment and drawing folder paths of its applications.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa::test {

class LockStore {
 public:
  LockStore() : env_(dir_.path()) {}

  const FolderEnvironObj& env() const { return env_; }
  // Folder of the application with id (the directory of its drawing folders).
  std::string AppFolder(int id = 1) const { return GetSenyouPath(env_, id); }
  // Drawing folder "Fol.%03d" of the application (not created).
  std::string Drawing(int folderNo, int id = 1) const {
    char name[16];
    std::snprintf(name, sizeof name, "Fol.%03d", folderNo);
    std::string path = AppFolder(id);
    env_.AddFileName(path, name);
    return path;
  }
  std::string DrawingLockFile(int id = 1) const { return AppFolder(id) + "/CADAPP.LOC"; }
  std::string PageLockFile(int folderNo, int id = 1) const {
    char name[16];
    std::snprintf(name, sizeof name, "FOL%03d.LOC", folderNo);
    return AppFolder(id) + "/" + name;
  }
  static bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
  }
  static long long SizeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
  }

 private:
  TempDir dir_;
  FolderEnvironObj env_;
};

}  // namespace vexa::test
