// A look at one drawing's page lock file that any thread may take, without
// opening it as a user of the lock protocol: the load's page test for many
// drawings at once on a share, where each open through the lock records costs
// some ten requests on the thread that owns the lock service.
#pragma once

#include <string>

namespace vexa::lock {

enum class PageProbe {
  Free,       // no page lock file, or nobody locks one of pages 0 to 499
  Locked,     // another handle locks one of pages 0 to 499
  AskService  // anything unusual: only the lock service's own page test answers
};

// The page test's answer for the page lock file at path (a name the folder's
// listing showed), where it is certain to be the one the service's page scan
// of a fresh service gives: a missing file is Free; a single-named regular
// file that this user may open for writing is Locked or Free as a read of
// pages 0 to 499 would be refused or not. Every other case (a link, folder,
// FIFO, a file with a second name, a file this user may not write, any error)
// is AskService. Opens without creating, holds no in-use mark and never
// deletes: the file is left exactly as it was. Costs four requests (open,
// fstat, one lock query, close); uses the platform only.
PageProbe ProbePageLockFile(const std::string& path);

}  // namespace vexa::lock
