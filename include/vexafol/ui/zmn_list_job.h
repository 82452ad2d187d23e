// The print job of a drawing list, as the selection dialog's print button and
// `vexafol print` run it: the print conditions, the site information of the
// page header and footer, and the list of drawings laid out by a form.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"
#include "vexafol/print.h"
#include "vexafol/ui/print_man.h"

namespace vexa {

// The title of the drawing list's form choice, preview and messages.
inline constexpr const char* kZmnListTitle = "図面一覧リスト";

// Sets manager up to print count drawings of members (in that order) with the
// form file formFile: the print conditions, with those of condMan loaded over
// them when given; the site information of env; the form folders formPathList
// and the device settings device (either may be null). members and env are
// not owned and must outlive the manager's runs. False when memory for the
// page data or the print data ran out; the manager then holds what was made
// before and owns it. Never throws.
VEXA_UI_API bool SetUpZmnListJob(CPrintMan& manager, const CEnvironObj& env,
                                 const std::string& formFile, const FolMember* const* members,
                                 int count, const CFormPathList* formPathList, CJknMan* condMan,
                                 CFormPrintData* device);

}  // namespace vexa
