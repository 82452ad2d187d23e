// A new drawing under a free number of its application folder, as a host
// saves one. The number is claimed and the folder made and filled while this
// process holds the number's drawing lock: other clients see the drawing in
// the making as locked, two clients never get one number, and a free number
// whose lock somebody holds is passed over instead of waited for. Restoring
// a recycled drawing or a backup (restore.h) claims its number the same way.
#pragma once

#include <functional>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

// Writes the content of a new drawing into its folder (made, empty). False
// with error set (a text for the user) when it cannot.
using FillDrawing = std::function<bool(const std::string& folder, std::string& error)>;

// Claims a free drawing number of appFolder (made with its parents when
// missing), makes its folder "Fol.NNN" exclusively with the store's modes (as
// MakeStoreFolder) and lets fill write the drawing into it, all under the
// number's drawing lock. The number is the one CreateFolderName chooses, with
// the numbers whose drawing lock somebody else holds, and those taken by
// anybody meanwhile, counted as taken.
//
// Returns the new drawing folder, its lock released again. On failure returns
// "" with error set, and nothing is left behind: no number is free
// ("空いている図面番号がありません。\n" + appFolder), the application folder
// or the drawing lock file cannot be used, the folder cannot be made (those
// texts in Japanese, with the system's error text), or fill failed (its
// error; the folder is removed with what fill wrote). Out of memory is such a
// failure. Nothing else throws; an exception thrown by fill reaches the
// caller after the folder is removed.
VEXA_CORE_API std::string CreateNewDrawing(const CEnvironObj& env, const std::string& appFolder,
                                           const FillDrawing& fill, std::string& error);

}  // namespace vexa
