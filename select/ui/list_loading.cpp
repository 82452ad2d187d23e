#include "select/ui/list_loading.h"

#include "host/ui/loading_window.h"
#include "vexafol/hooks.h"

namespace vexa {
namespace {

// The loading thread's hook: keeps the count, stops the load once cancelled.
int Report(void* context, int read, int listed) {
  LoadState& state = *static_cast<LoadState*>(context);
  state.read.store(read, std::memory_order_relaxed);
  state.total.store(listed, std::memory_order_relaxed);
  return state.cancelled.load(std::memory_order_relaxed) ? 0 : 1;
}

}  // namespace

bool LoadListsWithProgress(QWidget* parent, const std::function<void()>& load) {
  return RunWithProgress(parent, QString::fromUtf8("図面"), [&load](LoadState& state) {
    SetLoadProgressHook(Report, &state);
    struct Uninstall {
      ~Uninstall() { SetLoadProgressHook(nullptr, nullptr); }
    } uninstall;
    load();
  });
}

}  // namespace vexa
