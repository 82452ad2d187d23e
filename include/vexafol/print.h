// The host's form printing types that a selection call carries through to the
// drawing-list printing: the list of form folders, the manager of saved print
// conditions and the print device settings. The selection entry points only
// pass them on (the print button is offered when a form path list and a
// condition manager are both given); the printing support fills them in.
// Until then they hold nothing, and a host creates them only to offer printing.
#pragma once

#include "vexafol/export.h"

namespace vexa {

// The folders in which the host keeps its print forms.
class VEXA_UI_API CFormPathList {
 public:
  virtual ~CFormPathList() = default;
};

// The host's store of saved print conditions.
class VEXA_UI_API CJknMan {
 public:
  virtual ~CJknMan() = default;
};

// Print device settings (printer, paper, orientation) of one form run.
class VEXA_UI_API CFormPrintData {
 public:
  virtual ~CFormPrintData() = default;
};

}  // namespace vexa
