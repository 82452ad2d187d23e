// The holder of a lock as the lock commands print it, from its owner note.
#pragma once

#include <cstdint>
#include <string>

#include "vexafol/lock_holder.h"

namespace vexa::tool {

// LockHolderText, and for a named holder its login, process and program:
// "山田太郎 (PC-12) 10:03 から [yamada, pid 4711, cadapp]". Escaped for the
// terminal; "" when the lock is not held.
std::string HolderLine(const LockHolder& holder, int64_t now);

// The holder as a JSON value: null when the lock is not held, else
// {"named", "login", "name", "computer", "program", "pid", "since", "text"}
// (the texts null and pid 0 when no note names the holder).
std::string HolderJson(const LockHolder& holder, int64_t now);

}  // namespace vexa::tool
