// The user-chosen second order of the folder list.
//
// The order is defined as the permutation that a selection sort over the
// member indexes produces: for each position i, the best remaining entry is
// swapped into place, which moves entries with equal keys around (the sort is
// not stable). The functions here give exactly that permutation in
// O(n log n) time: keys become integer ranks, and a segment tree over the
// positions finds each best entry and follows every swap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vexafol/types.h"

namespace vexa {

// The selection sort permutation of 0 .. ranks.size()-1 (position -> index).
// direction >= 0: at each position the remaining entry of the lowest rank is
// chosen, the first one in current position order among equals (ascending).
// direction < 0: the entry of the highest rank, the last one among equals
// (descending).
std::vector<int> SelectionSortOrder(const std::vector<int64_t>& ranks, int direction);

// A rank that orders FILETIMEs as unsigned 64-bit values, as CompareFileTime does.
int64_t FileTimeRank(const FILETIME& time);

// Dense ranks (0, 1, ...) of UTF-8 texts under the user's collation: equal
// ranks exactly where the collator finds the texts equal. One collation key
// per text.
std::vector<int64_t> CollationRanks(const std::vector<std::string>& utf8Texts);

}  // namespace vexa
