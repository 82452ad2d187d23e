// Printing the drawing list of the selection dialog through the host's form
// printing framework: the user picks a form in the forms folder, and the
// drawings are previewed, from where they are printed.
#pragma once

#include "vexafol/environ.h"
#include "vexafol/folmember.h"
#include "vexafol/print.h"

class QWidget;

namespace vexa {

// The user-rights code of printing a drawing list.
inline constexpr unsigned long kOpePrintList = 0x10100;
// The name under which the device settings of the list are kept.
inline constexpr const char* kListPrintDataName = "VEXA帳票";

// Prints count drawings of members (in that order, not owned) with a form the
// user picks from "CAD/812101" in the forms folder of env, with the print
// conditions of condMan and the device settings printData. True when the
// preview was shown; false when the user may not print, there is no forms
// folder, the form choice was cancelled (all silently) or the print objects
// could not be made or memory ran out (with a message). Never throws.
bool PrintDrawingList(QWidget* parent, const CEnvironObj& env, const FolMember* const* members,
                      int count, const CFormPathList* formPathList, CJknMan* condMan,
                      CFormPrintData* printData);

}  // namespace vexa
