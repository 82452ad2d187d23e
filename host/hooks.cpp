#include "vexafol/hooks.h"

#include "host/load_progress.h"

namespace vexa {
namespace {

WaitCursorHook waitCursorHook = nullptr;
// The hook that saw the outermost begin, so that the matching end reaches it
// even if another hook was installed in between.
WaitCursorHook activeWaitCursorHook = nullptr;
int waitCursorDepth = 0;
RightsHook rightsHook = nullptr;
SelectOpenFileHook selectOpenFileHook = nullptr;
thread_local LoadProgress loadProgress;

}  // namespace

WaitCursorHook SetWaitCursorHook(WaitCursorHook hook) {
  WaitCursorHook previous = waitCursorHook;
  waitCursorHook = hook;
  return previous;
}

WaitCursor::WaitCursor() {
  if (waitCursorDepth++ == 0) {
    activeWaitCursorHook = waitCursorHook;
    if (activeWaitCursorHook) activeWaitCursorHook(true);
  }
}

WaitCursor::~WaitCursor() {
  if (--waitCursorDepth == 0 && activeWaitCursorHook) {
    activeWaitCursorHook(false);
    activeWaitCursorHook = nullptr;
  }
}

RightsHook SetRightsHook(RightsHook hook) {
  RightsHook previous = rightsHook;
  rightsHook = hook;
  return previous;
}

int IsOperationAllowed(unsigned long code) {
  return rightsHook ? rightsHook(code) : 1;
}

SelectOpenFileHook SetSelectOpenFileHook(SelectOpenFileHook hook) {
  SelectOpenFileHook previous = selectOpenFileHook;
  selectOpenFileHook = hook;
  return previous;
}

std::string SelectOpenFileByHook(void* parent, const std::string& folder, const std::string& filter,
                                 const std::string& ext, const std::string& title) {
  return selectOpenFileHook ? selectOpenFileHook(parent, folder, filter, ext, title) : "";
}

void SetLoadProgressHook(LoadProgressHook hook, void* context) {
  loadProgress = {hook, context};
}

const LoadProgress& CurrentLoadProgress() {
  return loadProgress;
}

}  // namespace vexa
