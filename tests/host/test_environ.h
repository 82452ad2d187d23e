// A CEnvironObj with only the file-system defaults, for testing them.
#pragma once

#include "vexafol/environ.h"

namespace vexa::test {

class DefaultsOnlyEnviron : public CEnvironObj {
 public:
  std::string GetPath(unsigned long) const override { return ""; }
  std::string GetDataPath() const override { return ""; }
  std::string GetHomePath(unsigned long) const override { return ""; }
  unsigned long GetAppType() const override { return 0; }
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
