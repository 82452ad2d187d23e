// What the benchmarks that generate drawing stores share.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/senyou.h"

namespace vexa::bench {

// A folder under $TMPDIR (or /tmp) kept between runs: generating a large store
// costs far more than the measurement.
inline std::string ScratchFolder(const std::string& name) {
  const char* base = std::getenv("TMPDIR");
  return std::string(base && *base ? base : "/tmp") + "/" + name;
}

// The applications that have a folder in the host's store, in table order.
inline std::vector<int> AppIds(const CEnvironObj& env) {
  std::vector<int> ids;
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    if (id != -1 && !GetSenyouPath(env, id).empty()) ids.push_back(id);
  }
  return ids;
}

}  // namespace vexa::bench
