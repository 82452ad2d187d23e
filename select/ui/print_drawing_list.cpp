#include "select/ui/print_drawing_list.h"

#include <memory>
#include <new>

#include "vexafol/ui/message_box.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {

bool PrintDrawingList(QWidget* parent, const CEnvironObj& env, const FolMember* const* members,
                      int count, const CFormPathList* formPathList, CJknMan* condMan,
                      CFormPrintData* printData) {
  constexpr const char* kTitle = "図面一覧リスト";
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

  auto* pageData = new (std::nothrow) CPrintPageDataGenba(genba);
  auto* printList = new (std::nothrow) ZmnListPrint(formFile, members, count, env);
  if (!pageData || !printList) {
    delete pageData;
    delete printList;
    MessageBox(parent, "印刷に失敗しました", kTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  manager.SetPrintPageData(pageData, 1);
  manager.AddPrintData(printList, 1);
  manager.ExecPreview(parent, kTitle);
  return true;
}

}  // namespace vexa
