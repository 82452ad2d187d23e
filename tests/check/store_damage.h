// Plants one fault of every kind `vexafol check` knows into a sample store
// ("vexafol demo"), so that tests can see each one reported (and the
// harmless ones repaired by --fix).
#pragma once

#include <string>
#include <vector>

namespace vexa::test {

struct PlantedFault {
  std::string kind;  // the finding kind the check reports
  std::string path;  // the path the finding names
  bool fixable;      // --fix repairs it
};

// root: a sample store whose folder grants its group write access (the
// permission faults are bits the group lacks). Returns what was planted.
std::vector<PlantedFault> DamageStore(const std::string& root);

// The application folder of the general application in a sample store.
std::string GeneralAppFolder(const std::string& root);

}  // namespace vexa::test
