// vexafol version (and --version): the package the tool comes from and the
// library it runs with, which differ when another libvexafol is loaded.
#include <cstdio>

#include "tools/command.h"
#include "vexafol/version.h"

namespace vexa::tool {

int RunVersion(Args&) {
  std::printf("vexafol %s\nlibvexafol %s\n", VEXA_PACKAGE_VERSION, GetVexaFolVersion());
  return 0;
}

}  // namespace vexa::tool
