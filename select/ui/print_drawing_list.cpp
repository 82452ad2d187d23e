#include "select/ui/print_drawing_list.h"

#include <new>

#include "vexafol/ui/message_box.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {
namespace {

constexpr const char* kTitle = "図面一覧リスト";

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
      env.SelectOpenFile(parent, folder, "ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT", "", kTitle);
  if (chosen.empty()) return false;
  std::string formFile = folder;
  env.AddFileName(formFile, chosen);

  CJknSet jkn;
  jkn.InitJkn();
  AddJknPrint(jkn);
  if (condMan) condMan->LoadJkn(jkn);
  ModifyJknPrint(jkn);

  CPrintGenbaInfo genba(env);
  genba.LoadInfo();

  CPrintMan manager;
  manager.SetFormPathList(formPathList);
  manager.SetEnvObj(env);
  manager.SetPrintJkn(jkn);
  manager.SetDeviceJkn(printData);

  // The manager owns what it is handed, so a failure needs no clean-up here.
  auto* pageData = new (std::nothrow) CPrintPageDataGenba(genba);
  if (!pageData) return Failed(parent, kTitle);
  manager.SetPrintPageData(pageData, 1);
  auto* printList = new (std::nothrow) ZmnListPrint(formFile, members, count, env);
  if (!printList) return Failed(parent, kTitle);
  manager.AddPrintData(printList, 1);
  manager.ExecPreview(parent, kTitle);
  return true;
} catch (const std::bad_alloc&) {
  // Out of memory on the way to the preview: a failure like any other, not
  // an exception through the dialog's event loop.
  return Failed(parent, kTitle);
}

}  // namespace vexa
