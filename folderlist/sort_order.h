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

#include "vexafol/environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folmember.h"
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

// One rank per member (given in creation-time order, none null) for sort type
// 1 application id, 2 creator, 3 updater, 4 creation time, 5 update time,
// 6 drawing number (GetFolderNo with env), 7 title, 8 page count: texts in the
// user's collation, times as CompareFileTime orders them, numbers signed. Equal
// keys get equal ranks. Other sort types: all ranks 0.
std::vector<int64_t> SortRanks(const CEnvironObj& env, const std::vector<const FolMember*>& members,
                               int sortType);

// The folder list's second order of members: position -> member index, the
// selection sort permutation over SortRanks. direction > 0 ascending, < 0
// descending, 0 ascending except for the two times (types 4 and 5), whose
// order then stays the creation-time order. Sort type 0 and types outside 1
// to 8: the identity.
std::vector<int> FolderSortOrder(const CEnvironObj& env,
                                 const std::vector<const FolMember*>& members, int sortType,
                                 int direction);

}  // namespace vexa
