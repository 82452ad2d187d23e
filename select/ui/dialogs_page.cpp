// The exported page selection function.
#include <new>

#include "page/ui/page_dlg.h"
#include "vexafol/dialogs.h"
#include "vexafol/ui/set_instance.h"

namespace vexa {

int SelectPageName(QWidget* parent, const CEnvironObj& env, int mode, const FolMember* member,
                   VexaFolderLock* lock) try {
  CSetInstance resources;
  return RunPageDialog(parent, env, mode, member, lock);
} catch (const std::bad_alloc&) {
  return -1;  // out of memory: no exception leaves the library
}

}  // namespace vexa
