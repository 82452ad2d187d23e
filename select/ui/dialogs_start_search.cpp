// The search conditions that selection dialogs start with.
#include "vexafol/dialogs.h"

namespace vexa {
namespace {

const ScopedStartSearch* innermost = nullptr;

}  // namespace

ScopedStartSearch::ScopedStartSearch(const FindCriteria& criteria)
    : criteria_(criteria), previous_(innermost) {
  innermost = this;
}

ScopedStartSearch::~ScopedStartSearch() {
  innermost = previous_;
}

const FindCriteria* ScopedStartSearch::Current() {
  return innermost ? &innermost->criteria_ : nullptr;
}

}  // namespace vexa
