// The exported page selection function.
#include "page/ui/page_dlg.h"
#include "vexafol/dialogs.h"
#include "vexafol/ui/set_instance.h"

namespace vexa {

int SelectPageName(QWidget* parent, const CEnvironObj& env, int mode, const FolMember* member,
                   VexaFolderLock* lock) {
  CSetInstance resources;
  return RunPageDialog(parent, env, mode, member, lock);
}

}  // namespace vexa
