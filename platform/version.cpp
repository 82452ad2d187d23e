#include "vexafol/version.h"

namespace vexa {

const char* GetVexaFolVersion() {
  return VEXA_LIBRARY_VERSION;
}

}  // namespace vexa
