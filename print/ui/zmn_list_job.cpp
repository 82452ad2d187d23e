#include "vexafol/ui/zmn_list_job.h"

#include <new>

#include "vexafol/zmn_list_print.h"

namespace vexa {

bool SetUpZmnListJob(CPrintMan& manager, const CEnvironObj& env, const std::string& formFile,
                     const FolMember* const* members, int count, const CFormPathList* formPathList,
                     CJknMan* condMan, CFormPrintData* device) try {
  CJknSet jkn;
  jkn.InitJkn();
  AddJknPrint(jkn);
  if (condMan) condMan->LoadJkn(jkn);
  ModifyJknPrint(jkn);

  CPrintGenbaInfo genba(env);
  genba.LoadInfo();

  manager.SetFormPathList(formPathList);
  manager.SetEnvObj(env);
  manager.SetPrintJkn(jkn);
  manager.SetDeviceJkn(device);

  // The manager owns what it is handed, so a failure needs no clean-up here.
  auto* pageData = new (std::nothrow) CPrintPageDataGenba(genba);
  if (!pageData) return false;
  manager.SetPrintPageData(pageData, 1);
  auto* printList = new (std::nothrow) ZmnListPrint(formFile, members, count, env);
  if (!printList) return false;
  manager.AddPrintData(printList, 1);
  return true;
} catch (const std::bad_alloc&) {
  return false;  // the conditions or the site texts could not be copied
}

}  // namespace vexa
