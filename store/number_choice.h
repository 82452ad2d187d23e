// The rule by which a new drawing gets its number in an application folder:
// numbers rise while the top number is free; once it is taken, the gaps left
// by deleted drawings are reused from the bottom.
#pragma once

#include <functional>

namespace vexa::store {

// One above the highest taken number while kLastDrawingNo is free (1 when
// none is taken), else the lowest free number; 0 when every number from
// kFirstDrawingNo to kLastDrawingNo is taken. taken(n) is asked for the
// numbers the walk reaches, from the top down (or from the bottom up when the
// top is taken); a number may be asked twice.
int ChooseDrawingNumber(const std::function<bool(int)>& taken);

}  // namespace vexa::store
