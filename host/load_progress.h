// The load progress hook of the calling thread, for the folder-list load.
#pragma once

#include "vexafol/hooks.h"

namespace vexa {

struct LoadProgress {
  LoadProgressHook hook = nullptr;
  void* context = nullptr;
};

// What SetLoadProgressHook installed on this thread (hook null: none).
const LoadProgress& CurrentLoadProgress();

}  // namespace vexa
