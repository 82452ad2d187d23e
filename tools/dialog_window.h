// What the commands that show Qt windows (select, pages, print) share: the
// Qt platform they run on and the offscreen picture of a dialog.
#pragma once

#include <QApplication>

#include <string>

namespace vexa::tool {

// The tool's Qt application, named "vexafol"; made once the command has
// chosen its Qt platform.
class ToolApplication : public QApplication {
 public:
  ToolApplication();
};

// Whether there is a display to show windows on (DISPLAY or WAYLAND_DISPLAY).
bool HasDisplay();

// Chooses the Qt platform before the QApplication is made: offscreen for a
// screenshot or when there is no display (a Qt program without one aborts).
// Returns 0, or the failure status (message printed) when the dialog should
// be shown to a user and there is no display.
int ChooseQtPlatform(bool screenshot);

// Once the dialog of templateId (vexafol/ui/resource_ids.h) is up: saves its
// picture to file as a PNG, sets saved, and cancels the dialog. With a button
// id, presses that button of the dialog instead and takes the picture of the
// dialog of template opened that it opens.
void CaptureWhenShown(int templateId, const std::string& file, bool& saved, int button = 0,
                      int opened = 0);

}  // namespace vexa::tool
