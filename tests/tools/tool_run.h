// Runs the vexafol tool to its end, optionally as another user, and collects
// its exit status and standard output.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vexa::test {

struct ToolRun {
  int exit = -1;
  std::string out;
};

// becomeUser runs in the child before the tool starts (false: the child
// leaves with 126 without running it).
ToolRun RunTool(const std::vector<std::string>& words,
                const std::function<bool()>& becomeUser = {});

}  // namespace vexa::test
