// The sample drawing store of "vexafol demo", also made by commands that need
// a store to show when none is given.
#pragma once

#include <cstdio>
#include <string>

namespace vexa::tool {

// The folder a sample store goes to when none is named: vexafol/sample-store
// in the user's data folder; "" when the environment does not tell where that is.
std::string DefaultSampleStore();

// Makes a store of about 30 drawings of several applications in root, replacing
// a sample store made there earlier, and reports where it is on report.
// Returns 0, or the failure exit status after printing why (root holds
// something else, or a folder or file cannot be made).
int MakeDemoStore(const std::string& root, std::FILE* report);

}  // namespace vexa::tool
