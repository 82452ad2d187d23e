// Display item settings: loading and storing under "VEXA" / "FILEDLG", and
// the dialog "表示項目の設定" driven as a user would.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "select/ui/set_item_dlg_ids.h"
#include "tests/select/ui/dialog_driver.h"
#include "tests/select/ui/grid_fixture.h"
#include "vexafol/ui/drag_list_box.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/set_item_dlg.h"

namespace vexa::test {
namespace {

class ItemSettings : public testing::Test, public GridFixture {
 protected:
  // The stored items, then the stored window width and height.
  std::vector<int> LoadSettings() const {
    int items[kMaxItems] = {};
    int count = 0, sizeX = 0, sizeY = 0;
    LoadItemSettings(env(), items, count, sizeX, sizeY);
    std::vector<int> loaded(items, items + count);
    loaded.push_back(sizeX);
    loaded.push_back(sizeY);
    return loaded;
  }
};

TEST_F(ItemSettings, LoadingSkipsBadIdsSavingRoundTripsAndNoItemsFallBack) {
  EXPECT_EQ(LoadSettings(), (std::vector<int>{0, 1, 2, 3, 7, 0, 0}));
  EXPECT_EQ(GetNameMax(), 65);

  SetUserValue("ITEM_CNT", "12");
  const char* ids[] = {"8", "9", "-1", "2", "x", "7", "6", "5", "4", "0", "1", "3"};
  for (int i = 0; i < 12; ++i) SetUserValue("ITEM_NO" + std::to_string(i), ids[i]);
  SetUserValue("NAME_MAX", "40");
  SetUserValue("LASTSIZE_X", "1024");
  SetUserValue("LASTSIZE_Y", "700");
  // "x" reads as 0, as a decimal text without digits does.
  EXPECT_EQ(LoadSettings(), (std::vector<int>{8, 2, 0, 7, 6, 5, 4, 1024, 700}));
  EXPECT_EQ(GetNameMax(), 40);

  // Saved settings load again.
  SetNameMax(30);
  const int items[] = {7, 1};
  SaveItemSettings(env(), items, 2, 800, 600);
  SetNameMax(kDefaultNameMax);
  EXPECT_EQ(LoadSettings(), (std::vector<int>{7, 1, 800, 600}));
  EXPECT_EQ(GetNameMax(), 30);

  SaveItemSettings(env(), items, 0, 800, 600);  // every column removed
  EXPECT_EQ(LoadSettings(), (std::vector<int>{0, 1, 2, 3, 7, 800, 600}));
}

class SetItemDialog : public testing::Test, public GridFixture {
 protected:
  int items_[kMaxItems] = {0, 1, 2, 3, 7};
  int count_ = 5;
  int nameMax_ = 65;
  SetItemDlg dialog_{items_, &count_, &nameMax_};

  SetItemDialog() { dialog_.InitDialog(); }
};

TEST_F(SetItemDialog, AddRemoveReorderAndOkStoreTheNewChoice) {
  EXPECT_EQ(dialog_.windowTitle(), "表示項目の設定");
  // Hidden: 作成者名, 変更者名, 作成日付, メモ. Mark "メモ" and "作成者名" (in that order) and add
  // them before "CAD種類".
  dialog_.HiddenList()->item(3)->setSelected(true);
  dialog_.HiddenList()->item(0)->setSelected(true);
  dialog_.ShownList()->setCurrentRow(2);
  ClickControl(dialog_, kIdAddItem);
  EXPECT_EQ(dialog_.ShownList()->Texts(),
            (std::vector<std::string>{"図面No", "図面名", "作成者名", "メモ", "CAD種類",
                                      "図面ﾍﾟｰｼﾞ数", "変更日付"}));

  dialog_.ShownList()->setCurrentRow(0);
  dialog_.Item<QPushButton>(kIdRemoveItem)->click();  // removes "図面No"

  ASSERT_TRUE(dialog_.ShownList()->MoveItem(5, 0));  // "変更日付" to the top, as a drag does
  dialog_.NameWidthEdit()->setText("150");           // beyond the limit
  ClickControl(dialog_, IDOK);
  EXPECT_EQ(dialog_.result(), IDOK);
  EXPECT_EQ(std::vector<int>(items_, items_ + count_), (std::vector<int>{7, 1, 4, 8, 2, 3}));
  EXPECT_EQ(nameMax_, 100);
}

}  // namespace
}  // namespace vexa::test
