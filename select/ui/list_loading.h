// Folder-list loads for the selection dialogs, on a worker thread behind the
// loading window (host/ui/loading_window.h), counted in drawing folders.
#pragma once

#include <QWidget>

#include <functional>

namespace vexa {

// Runs load (which loads folder lists through the core library) as
// RunWithProgress does. False when the user cancelled: the load stopped at
// its next drawing folder and its lists are empty.
bool LoadListsWithProgress(QWidget* parent, const std::function<void()>& load);

}  // namespace vexa
