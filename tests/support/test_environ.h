// A host for tests: folders by path kind, a data path, a home path and a host
// kind that the test sets; no work folder or site names and no user data. The
// path and file operations are the library's own defaults.
#pragma once

#include <map>
#include <string>

#include "vexafol/environ.h"

namespace vexa::test {

class TestEnviron : public CEnvironObj {
 public:
  std::map<unsigned long, std::string> paths;
  std::string dataPath;
  std::string homePath;
  unsigned long appType = 0;

  std::string GetPath(unsigned long kind) const override {
    auto it = paths.find(kind);
    return it == paths.end() ? std::string() : it->second;
  }
  std::string GetDataPath() const override { return dataPath; }
  std::string GetHomePath(unsigned long kind) const override {
    return kind == 0x3000000 ? homePath : std::string();
  }
  unsigned long GetAppType() const override { return appType; }
  unsigned short GetFNo() const override { return 0; }
  unsigned short GetGNo() const override { return 0; }
  std::string GetFolderName(const std::string&, int) const override { return ""; }
  std::string GetGenbaName(const std::string&, int, int) const override { return ""; }
  int GetUserDataStr(const std::string&, const std::string&, const std::string&,
                     std::string&) const override {
    return 0;
  }
  int SetUserDataStr(const std::string&, const std::string&, const std::string&,
                     const std::string&) const override {
    return 0;
  }
};

}  // namespace vexa::test
