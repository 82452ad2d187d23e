// The display item table of the drawing grid.
#include <array>

#include "vexafol/folderlist.h"
#include "vexafol/ui/file_sel_sheet.h"

namespace vexa {
namespace {

// Widths are in CP932 bytes, as the header texts are measured.
std::array<ItemDef, kItemDefCount> g_items = {{
    {0, "No", 5, 1, "図面No", kSortFolderNo},
    {1, "図面名", kDefaultNameMax, 0, "図面名", kSortTitle},
    {2, "CAD", 8, 2, "CAD種類", kSortAppId},
    {3, "PAGE", 5, 1, "図面ﾍﾟｰｼﾞ数", kSortPageCount},
    {4, "作成者", 11, 1, "作成者名", kSortCreator},
    {5, "変更者", 11, 1, "変更者名", kSortUpdater},
    {6, "作成日", 11, 1, "作成日付", kSortCreateTime},
    {7, "変更日", 11, 1, "変更日付", kSortUpdateTime},
    {8, "メモ", 10, 0, "メモ", kSortCreationOrder},
}};

}  // namespace

const ItemDef* FindItemDef(int id) {
  return id >= 0 && id < kItemDefCount ? &g_items[id] : nullptr;
}

int GetNameMax() {
  return g_items[1].width;
}

void SetNameMax(int width) {
  g_items[1].width = width;
}

int SortTypeToItem(int sortType) {
  for (const ItemDef& item : g_items) {
    if (item.sortType != kSortCreationOrder && item.sortType == sortType) return item.id;
  }
  return 0;
}

}  // namespace vexa
