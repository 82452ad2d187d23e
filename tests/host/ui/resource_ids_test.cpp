// Every named bitmap is among the library's resources: a name whose number
// has no bitmap would leave a toolbar button or a padlock blank without any
// other sign.
#include <gtest/gtest.h>

#include <QPixmap>

#include "vexafol/ui/resource_ids.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

TEST(ResourceIdsTest, EveryNamedBitmapLoadsAndAnUnknownIdGivesNone) {
  for (int id : {kBitmapPadlockClosed, kBitmapPadlockOpen, kBitmapPageList, kBitmapDrawPage,
                 kBitmapRestore, kBitmapPrintList, kBitmapDelete, kBitmapSearch, kBitmapClearSearch,
                 kBitmapBackupRestore, kBitmapDisplayItems, kBitmapSwitchManager}) {
    const QPixmap bitmap = LoadBitmap(id);
    EXPECT_FALSE(bitmap.isNull()) << id;
    EXPECT_GT(bitmap.width(), 0) << id;
  }
  EXPECT_TRUE(LoadBitmap(kTemplateFindDlg).isNull());
}

}  // namespace
}  // namespace vexa
