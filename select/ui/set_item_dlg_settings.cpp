// Loading and storing the display items, the name width and the last size of
// the selection dialog.
#include <string>

#include "select/ui/user_settings.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/set_item_dlg.h"

namespace vexa {
namespace {

std::string ItemKey(int position) {
  return "ITEM_NO" + std::to_string(position);
}

constexpr int kDefaultItems[] = {0, 1, 2, 3, 7};

}  // namespace

void LoadItemSettings(const CEnvironObj& env, int* items, int& itemCount, int& lastSizeX,
                      int& lastSizeY) {
  ReadUserInt(env, "ITEM_CNT", itemCount);
  if (itemCount > kMaxItems || itemCount < 0) itemCount = kMaxItems;
  int appended = 0;
  for (int i = 0; i < itemCount; ++i) {
    int id = -1;
    if (ReadUserInt(env, ItemKey(i), id) && FindItemDef(id)) items[appended++] = id;
  }
  itemCount = appended;
  if (itemCount == 0) {
    for (int id : kDefaultItems) items[itemCount++] = id;
  }
  int nameMax = 0;
  if (ReadUserInt(env, "NAME_MAX", nameMax)) SetNameMax(nameMax);
  ReadUserInt(env, "LASTSIZE_X", lastSizeX);
  ReadUserInt(env, "LASTSIZE_Y", lastSizeY);
}

void SaveItemSettings(const CEnvironObj& env, const int* items, int itemCount, int lastSizeX,
                      int lastSizeY) {
  WriteUserInt(env, "ITEM_CNT", itemCount);
  for (int i = 0; i < itemCount; ++i) WriteUserInt(env, ItemKey(i), items[i]);
  WriteUserInt(env, "NAME_MAX", GetNameMax());
  WriteUserInt(env, "LASTSIZE_X", lastSizeX);
  WriteUserInt(env, "LASTSIZE_Y", lastSizeY);
}

}  // namespace vexa
