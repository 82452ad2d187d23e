// The display-item dialog's control ids (its template id is
// kTemplateSetItemDlg of vexafol/ui/resource_ids.h), for the dialog and its
// tests.
#pragma once

namespace vexa {

enum SetItemControl : int {
  kIdHiddenItems = 19000,  // the items not shown
  kIdShownItems = 19001,   // the items shown, in their order
  kIdAddItem = 4027,       // moves the hidden item chosen to the shown ones
  kIdRemoveItem = 4028,    // moves the shown item chosen to the hidden ones
  kIdNameWidth = 29066,    // the width of the name column
};

}  // namespace vexa
