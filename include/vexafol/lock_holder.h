// Who holds a drawing or page lock, from any computer that shares the store.
//
// A lock byte records nobody. Beside the lock files, the library leaves an
// owner note for every lock it takes (login, full name, computer, program,
// process id, time taken) and keeps that note locked for exactly as long as
// it holds the lock. A note is believed only while its writer still holds it:
// a released or crashed holder's note is never shown. A lock held by a client
// that leaves no note (a Windows client, an older version) shows as held with
// no name. Note text comes from any member of the store's group and is
// treated as untrusted: bounded, control characters and bad UTF-8 escaped.
#pragma once

#include <cstdint>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

struct LockHolder {
  bool held = false;     // somebody holds the lock
  bool named = false;    // a believed owner note names the holder (the fields below)
  std::string login;     // login name
  std::string fullName;  // full name of the account; "" when it has none
  std::string computer;  // computer name
  std::string program;   // program name
  long pid = 0;          // process id on that computer
  int64_t since = 0;     // when the lock was taken, seconds since 1970 (UTC); 0 unknown
  int page = -1;         // the page whose lock this is; -1 for the drawing lock
};

// The holder of the drawing lock of the drawing folder drawingPath.
VEXA_CORE_API LockHolder GetDrawingLockHolder(const CEnvironObj& env,
                                              const std::string& drawingPath);
// The holder of the lock of page `page` of the drawing.
VEXA_CORE_API LockHolder GetPageLockHolder(const CEnvironObj& env, const std::string& drawingPath,
                                           int page);
// Why the drawing is in use: the holder of its drawing lock, else the holder
// of one of its locked pages 0 to 499; held is false when neither is held.
VEXA_CORE_API LockHolder GetInUseHolder(const CEnvironObj& env, const std::string& drawingPath);

// The holder for people: "山田太郎 (PC-12) 10:03 から" (the login when there is no
// full name; the date too when the lock was taken on another day than now),
// "名前のわからないクライアント" for a lock without a believed note, "" when not held.
VEXA_CORE_API std::string LockHolderText(const LockHolder& holder, int64_t now);

}  // namespace vexa
