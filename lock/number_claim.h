// Claiming a free drawing number of an application folder for a drawing that
// is being made or brought back. Every operation that makes a drawing claims
// its number here, so they cannot take one number twice or wait on each other.
#pragma once

#include <functional>
#include <string>

#include "vexafol/environ.h"

namespace vexa::lock {

// Puts the drawing at folder (the claimed "…/Fol.NNN"), never replacing
// anything there. Returns 0; -EEXIST when something is there already (the
// number is then chosen again); or another -errno, which ends the claim, with
// error set when place has a better text than the system's. A failing place
// leaves nothing behind that it made.
using PlaceDrawing = std::function<int(const std::string& folder, std::string& error)>;

// Claims a free drawing number of appFolder (made with its parents when
// missing) and calls place with its folder while this process holds the
// number's drawing lock, so that other clients see the drawing in the making
// as locked. The number follows CreateFolderName's rule, except that numbers
// whose drawing lock somebody else holds (a drawing being made or brought back
// right now) and numbers that place found taken count as taken: a held free
// number never blocks the claim. Each number is passed over at most once, so
// the claim ends.
//
// Returns the drawing folder, its lock released again. On failure returns ""
// with error set, in Japanese for the user: the application folder cannot be
// made, the drawing lock file cannot be used, no number is free
// ("空いている図面番号がありません。\n" + appFolder), or place failed. May
// throw std::bad_alloc.
std::string ClaimDrawingNumber(const CEnvironObj& env, const std::string& appFolder,
                               const PlaceDrawing& place, std::string& error);

}  // namespace vexa::lock
