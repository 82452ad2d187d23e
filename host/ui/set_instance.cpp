#include "vexafol/ui/set_instance.h"

#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

int depth = 0;

}  // namespace

CSetInstance::CSetInstance() {
  InitUiLibrary();
  ++depth;
}

CSetInstance::~CSetInstance() {
  --depth;
}

int CSetInstance::Depth() {
  return depth;
}

}  // namespace vexa
