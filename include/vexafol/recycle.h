// Deleting a drawing: its folder moves into the shared recycle folder
// "RECYCCAD", which keeps the ten newest deletions in slots 1 (newest) to 10.
// Each slot is a container folder named
//   "[work folder][site][application folder][drawing name]" + extension of n
// holding the drawing folder itself. The recycle folder is reorganised under
// its lock file "LOCK.TMP" before every deletion; a second deletion at the
// same time fails instead of waiting.
//
// The texts of a deletion are shared by every front end (dialog and tool).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"

namespace vexa {

// The permission code of deleting, asked of env.IsOpeAllowed.
inline constexpr unsigned long kOpeDeleteDrawing = 0x1e0203;

// Title of every message of a deletion.
inline constexpr const char kDeleteTitle[] = "図面の削除";

// Slots of the recycle folder.
inline constexpr int kRecycleSlots = 10;

// The refusal shown before any question ("" when the drawing may be deleted):
// the page-only flag 0x80 of the mode word, then a drawing in use.
VEXA_CORE_API std::string DeleteRefusal(const FolMember& member, int flagWord);
// "図面 [n] \"name\"", the drawing as the deletion texts name it.
VEXA_CORE_API std::string DeleteLabel(const CEnvironObj& env, const FolMember& member);
// The question, the success text and the failure text (with the step's error
// text after an empty line when there is one) for a label.
VEXA_CORE_API std::string DeleteQuestion(const std::string& label);
VEXA_CORE_API std::string DeleteDone(const std::string& label);
VEXA_CORE_API std::string DeleteFailed(const std::string& label, const std::string& error);

// The drawing name with the nine characters that file names cannot hold
// (\ / : * ? " < > |) replaced by their full-width forms.
VEXA_CORE_API std::string ReplaceFileNameChars(const std::string& name);
// The container name of member for slot n.
VEXA_CORE_API std::string RecycleContainerName(const CEnvironObj& env, const FolMember& member,
                                               int n);

// The container of slot n (1 to 10) in recycleFolder, or "" when the slot is
// free. Only folders count as slots; other entries are left alone.
VEXA_CORE_API std::string FindRecycleSlot(const CEnvironObj& env, const std::string& recycleFolder,
                                          int n);
// The first free slot; 0 when all ten are taken or the folder is missing.
VEXA_CORE_API int FreeRecycleSlot(const CEnvironObj& env, const std::string& recycleFolder);
// Closes the gaps between the occupied slots (keeping their order), removes
// slot 10 when all ten are taken, and moves every slot up by one so that slot
// 1 is free. False when a rename or the removal fails; what was done stays.
// Call only while holding the recycle-folder lock.
VEXA_CORE_API bool TidyRecycle(const CEnvironObj& env, const std::string& recycleFolder);

// Moves member's drawing folder into slot 1 of the recycle folder, creating
// the folder when missing. The drawing is locked while it moves: a drawing
// that somebody edits (or one of whose pages) is not moved. On failure error
// is the step's message followed by the system error text, and the drawing is
// where it was.
VEXA_CORE_API bool MoveToRecycle(const CEnvironObj& env, const FolMember& member,
                                 std::string& error);

// One occupied slot, as the recycle folder holds it now.
struct VEXA_CORE_API RecycleSlot {
  int slot = 0;
  std::string container;  // full path of the container folder
  std::string drawing;    // full path of the drawing folder inside ("" when none)
  std::string title;      // the drawing's name from its index file ("" when unreadable)
  int appId = 0;          // the application the third token names (0 when none)
  int64_t deleted = 0;    // when the drawing was moved in: seconds since 1970, UTC
};
// The occupied slots in slot order.
VEXA_CORE_API std::vector<RecycleSlot> ListRecycleSlots(const CEnvironObj& env);

}  // namespace vexa
