// The resource switch: every exported dialog function holds one for the
// duration of the call. On Windows it made the library's own resources
// current and put the host's back afterwards. Qt resources are process-wide
// (the library's bundle is registered when the library is loaded), so the
// switch only needs to make sure the library is initialised (font
// substitutions, wait cursor) and to count how deeply calls are nested.
#pragma once

#include "vexafol/export.h"

namespace vexa {

class VEXA_UI_API CSetInstance {
 public:
  // Initialises the UI library (InitUiLibrary) and enters one level.
  CSetInstance();
  // Leaves the level.
  ~CSetInstance();
  CSetInstance(const CSetInstance&) = delete;
  CSetInstance& operator=(const CSetInstance&) = delete;

  // How many switches are alive (0 outside every dialog call).
  static int Depth();
};

}  // namespace vexa
