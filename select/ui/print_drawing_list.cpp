#include "select/ui/print_drawing_list.h"

#include <new>

#include "vexafol/ui/message_box.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/ui/zmn_list_job.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {
namespace {

bool Failed(QWidget* parent, const char* title) {
  MessageBox(parent, "印刷に失敗しました", title, MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace

bool PrintDrawingList(QWidget* parent, const CEnvironObj& env, const FolMember* const* members,
                      int count, const CFormPathList* formPathList, CJknMan* condMan,
                      CFormPrintData* printData) try {
  if (!env.IsOpeAllowed(kOpePrintList)) return false;
  // The forms folder + "CAD" + "812101"; none without a forms folder.
  const std::string folder = GetZmnListFormFolder(env);
  if (folder.empty()) return false;

  const std::string chosen =
      env.SelectOpenFile(parent, folder, "ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT", "", kZmnListTitle);
  if (chosen.empty()) return false;
  std::string formFile = folder;
  env.AddFileName(formFile, chosen);

  CPrintMan manager;
  if (!SetUpZmnListJob(manager, env, formFile, members, count, formPathList, condMan, printData)) {
    return Failed(parent, kZmnListTitle);
  }
  manager.ExecPreview(parent, kZmnListTitle);
  return true;
} catch (const std::bad_alloc&) {
  // Out of memory on the way to the preview: a failure like any other, not
  // an exception through the dialog's event loop.
  return Failed(parent, kZmnListTitle);
}

}  // namespace vexa
