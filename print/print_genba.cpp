// Site information of the current work for page headers and footers.
#include "vexafol/filetime.h"
#include "vexafol/print.h"

namespace vexa {

CPrintGenbaInfo::CPrintGenbaInfo(const CEnvironObj& env) : env_(&env) {}

int CPrintGenbaInfo::LoadInfo() {
  dataPath_ = env_->GetDataPath();
  folderNo_ = env_->GetFNo();
  siteNo_ = env_->GetGNo();
  folderName_ = env_->GetFolderName(dataPath_, folderNo_);
  siteName_ = env_->GetGenbaName(dataPath_, folderNo_, siteNo_);
  return siteName_.empty() ? 0 : 1;
}

CPrintPageDataGenba::CPrintPageDataGenba(const CPrintGenbaInfo& info) : info_(info) {}

PrintPageTexts CPrintPageDataGenba::GetPageTexts(const CJknSet& jkn,
                                                 const SYSTEMTIME& today) const {
  PrintPageTexts texts;
  if (jkn.IsPrintSite()) texts.siteName = info_.GetSiteName();
  texts.title = jkn.GetTitle();
  if (jkn.IsPrintDate()) texts.printDate = FormatShortDate(today);
  return texts;
}

}  // namespace vexa
