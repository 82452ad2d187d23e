#include "store/number_choice.h"

#include "vexafol/store_layout.h"

namespace vexa::store {

int ChooseDrawingNumber(const std::function<bool(int)>& taken) {
  if (!taken(kLastDrawingNo)) {
    // Hand numbers out in rising order: one above the highest taken one.
    for (int n = kLastDrawingNo - 1; n >= kFirstDrawingNo; --n) {
      if (taken(n) && !taken(n + 1)) return n + 1;
    }
    return taken(kFirstDrawingNo) ? 0 : kFirstDrawingNo;
  }
  // The top number is taken: reuse the lowest gap.
  for (int n = kFirstDrawingNo; n < kLastDrawingNo; ++n) {
    if (!taken(n)) return n;
  }
  return 0;
}

}  // namespace vexa::store
