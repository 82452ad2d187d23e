// Process-wide hooks through which the core reaches host services it cannot
// provide itself: the wait cursor (the UI library shows an override cursor),
// the user-rights check (GateIsOpeAllowed of the host suite) and the file-open
// dialog (the UI library shows a Qt file dialog), and the progress of long
// loads. All are plain function pointers; null means "no such service". Call
// from the one thread that uses the library; the load progress hook belongs
// to the thread that installs it.
#pragma once

#include <string>

#include "vexafol/export.h"

namespace vexa {

// Called with true when the first wait cursor of a nest begins and with false
// when the last of them ends.
using WaitCursorHook = void (*)(bool show);
// Installs hook (null: none) and returns the previous one.
VEXA_CORE_API WaitCursorHook SetWaitCursorHook(WaitCursorHook hook);

// Shows the wait cursor for its lifetime. Nested instances show it once: the
// hook sees one begin for the outermost instance and one end when it is gone.
class VEXA_CORE_API WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Answers whether the operation with the given code is allowed for the
// current user: non-zero allowed, 0 refused.
using RightsHook = int (*)(unsigned long code);
// Installs hook (null: every operation allowed) and returns the previous one.
VEXA_CORE_API RightsHook SetRightsHook(RightsHook hook);
// The installed hook's answer, or 1 when none is installed.
VEXA_CORE_API int IsOperationAllowed(unsigned long code);

// Lets the user choose a file in folder, with CEnvironObj::SelectOpenFile's
// arguments; answers the chosen file relative to folder, or "" on cancel.
using SelectOpenFileHook = std::string (*)(void* parent, const std::string& folder,
                                           const std::string& filter, const std::string& ext,
                                           const std::string& title);
// Installs hook (null: no dialog, every choice cancelled) and returns the
// previous one. The UI library installs its file dialog when it is loaded.
VEXA_CORE_API SelectOpenFileHook SetSelectOpenFileHook(SelectOpenFileHook hook);
// The installed hook's answer, or "" when none is installed.
VEXA_CORE_API std::string SelectOpenFileByHook(void* parent, const std::string& folder,
                                               const std::string& filter, const std::string& ext,
                                               const std::string& title);

// Progress of the folder-list loads (VexaFolderList::Load, Reload) that run on
// the thread that installed it: called on that thread once the folders are
// listed (read 0) and after each drawing folder, with the drawing folders
// read so far and the number listed. Answering 0 stops the load at once; the
// list is then left empty. A load with a progress hook shows no wait cursor:
// the hook is its indication, and a load on a worker thread must not reach
// the UI.
using LoadProgressHook = int (*)(void* context, int read, int listed);
// Installs hook and its context for loads on the calling thread (null: none).
VEXA_CORE_API void SetLoadProgressHook(LoadProgressHook hook, void* context);

}  // namespace vexa
