// Display item settings: loading and storing under "VEXA" / "FILEDLG", and
// the dialog "表示項目の設定" driven as a user would.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "tests/select_ui/grid_fixture.h"
#include "vexafol/ui/drag_list_box.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/set_item_dlg.h"

namespace vexa::test {
namespace {

class ItemSettings : public testing::Test, public GridFixture {
 protected:
  struct Loaded {
    std::vector<int> items;
    int lastSizeX = 0;
    int lastSizeY = 0;
  };
  Loaded LoadSettings() const {
    int items[kMaxItems] = {};
    int count = 0;
    Loaded loaded;
    LoadItemSettings(env(), items, count, loaded.lastSizeX, loaded.lastSizeY);
    loaded.items.assign(items, items + count);
    return loaded;
  }
};

TEST_F(ItemSettings, NothingStoredGivesTheFiveDefaultColumns) {
  const Loaded loaded = LoadSettings();
  EXPECT_EQ(loaded.items, kDefaultItems);
  EXPECT_EQ(GetNameMax(), 65);
  EXPECT_EQ(loaded.lastSizeX, 0);
  EXPECT_EQ(loaded.lastSizeY, 0);
}

TEST_F(ItemSettings, OnlyNineEntriesAreReadAndBadIdsAreSkipped) {
  SetUserValue("ITEM_CNT", "12");
  const char* ids[] = {"8", "9", "-1", "2", "x", "7", "6", "5", "4", "0", "1", "3"};
  for (int i = 0; i < 12; ++i) SetUserValue("ITEM_NO" + std::to_string(i), ids[i]);
  SetUserValue("NAME_MAX", "40");
  SetUserValue("LASTSIZE_X", "1024");
  SetUserValue("LASTSIZE_Y", "700");
  const Loaded loaded = LoadSettings();
  // "x" reads as 0, as a decimal text without digits does.
  EXPECT_EQ(loaded.items, (std::vector<int>{8, 2, 0, 7, 6, 5, 4}));
  EXPECT_EQ(GetNameMax(), 40);
  EXPECT_EQ(loaded.lastSizeX, 1024);
  EXPECT_EQ(loaded.lastSizeY, 700);
}

TEST_F(ItemSettings, SavedSettingsLoadAgainAndAnEmptyChoiceFallsBack) {
  SetNameMax(30);
  const int items[] = {7, 1};
  SaveItemSettings(env(), items, 2, 800, 600);
  EXPECT_EQ(UserValue("ITEM_CNT"), "2");
  EXPECT_EQ(UserValue("ITEM_NO0"), "7");
  EXPECT_EQ(UserValue("ITEM_NO1"), "1");
  EXPECT_EQ(UserValue("NAME_MAX"), "30");
  EXPECT_EQ(UserValue("LASTSIZE_X"), "800");
  SetNameMax(kDefaultNameMax);
  Loaded loaded = LoadSettings();
  EXPECT_EQ(loaded.items, (std::vector<int>{7, 1}));
  EXPECT_EQ(GetNameMax(), 30);
  EXPECT_EQ(loaded.lastSizeY, 600);

  SaveItemSettings(env(), items, 0, 800, 600);  // every column removed
  EXPECT_EQ(UserValue("ITEM_NO0"), "7");        // left in place, never read
  EXPECT_EQ(LoadSettings().items, kDefaultItems);
}

class SetItemDialog : public testing::Test, public GridFixture {
 protected:
  int items_[kMaxItems] = {0, 1, 2, 3, 7};
  int count_ = 5;
  int nameMax_ = 65;
  SetItemDlg dialog_{items_, &count_, &nameMax_};

  SetItemDialog() { dialog_.InitDialog(); }
  void PressOk() {
    auto* ok = dialog_.Item<QPushButton>(IDOK);
    ok->setFocus();
    QTest::mouseClick(ok, Qt::LeftButton);
  }
  std::vector<std::string> Hidden() const {
    std::vector<std::string> texts;
    for (int i = 0; i < dialog_.HiddenList()->count(); ++i) {
      texts.push_back(dialog_.HiddenList()->item(i)->text().toStdString());
    }
    return texts;
  }
};

TEST_F(SetItemDialog, ShowsBothListsByLongNameWithTheTemplateTexts) {
  EXPECT_EQ(dialog_.windowTitle(), "表示項目の設定");
  EXPECT_EQ(dialog_.objectName(), "14011");
  EXPECT_EQ(dialog_.ShownList()->Texts(),
            (std::vector<std::string>{"図面No", "図面名", "CAD種類", "図面ﾍﾟｰｼﾞ数", "変更日付"}));
  EXPECT_EQ(Hidden(), (std::vector<std::string>{"作成者名", "変更者名", "作成日付", "メモ"}));
  EXPECT_EQ(dialog_.NameWidthEdit()->GetValue(), 65);
  EXPECT_EQ(dialog_.NameWidthEdit()->Maximum(), 100);
  EXPECT_EQ(dialog_.Item<QPushButton>(4027)->text(), "追加→");
  EXPECT_EQ(dialog_.Item<QPushButton>(4028)->text(), "←削除");
  EXPECT_EQ(dialog_.Item<QPushButton>(IDCANCEL)->text(), "ｷｬﾝｾﾙ");
}

TEST_F(SetItemDialog, AddRemoveReorderAndOkStoreTheNewChoice) {
  // Mark "メモ" and "作成者名" (in that order) and add them before "CAD種類".
  dialog_.HiddenList()->item(3)->setSelected(true);
  dialog_.HiddenList()->item(0)->setSelected(true);
  dialog_.ShownList()->setCurrentRow(2);
  QTest::mouseClick(dialog_.Item<QPushButton>(4027), Qt::LeftButton);
  EXPECT_EQ(dialog_.ShownList()->Texts(),
            (std::vector<std::string>{"図面No", "図面名", "作成者名", "メモ", "CAD種類",
                                      "図面ﾍﾟｰｼﾞ数", "変更日付"}));
  EXPECT_EQ(Hidden(), (std::vector<std::string>{"変更者名", "作成日付"}));

  // Removed entries go to the end of the hidden list, not back in table order.
  dialog_.ShownList()->setCurrentRow(0);
  QTest::mouseClick(dialog_.Item<QPushButton>(4028), Qt::LeftButton);
  EXPECT_EQ(Hidden(), (std::vector<std::string>{"変更者名", "作成日付", "図面No"}));

  ASSERT_TRUE(dialog_.ShownList()->MoveItem(5, 0));  // "変更日付" to the top, as a drag does
  dialog_.NameWidthEdit()->setText("150");           // beyond the limit
  PressOk();
  EXPECT_EQ(dialog_.result(), IDOK);
  EXPECT_EQ(count_, 6);
  EXPECT_EQ(std::vector<int>(items_, items_ + count_), (std::vector<int>{7, 1, 4, 8, 2, 3}));
  EXPECT_EQ(nameMax_, 100);
}

TEST_F(SetItemDialog, ReturnAwayFromOkAndCancelChangeNothing) {
  dialog_.ShownList()->setCurrentRow(0);
  dialog_.Item<QPushButton>(4028)->click();
  dialog_.ShownList()->setFocus();
  QTest::keyClick(dialog_.ShownList(), Qt::Key_Return);
  EXPECT_EQ(count_, 5);
  QTest::mouseClick(dialog_.Item<QPushButton>(IDCANCEL), Qt::LeftButton);
  EXPECT_EQ(dialog_.result(), IDCANCEL);
  EXPECT_EQ(count_, 5);
  EXPECT_EQ(items_[0], 0);
}

TEST_F(SetItemDialog, AnEmptyShownListGivesNoColumns) {
  while (dialog_.ShownList()->count() > 0) {
    dialog_.ShownList()->setCurrentRow(0);
    dialog_.Item<QPushButton>(4028)->click();
  }
  PressOk();
  EXPECT_EQ(count_, 0);
  FileSelSheet sheet{FindCriteria{}};
  sheet.Init(&Load(), nullptr, items_, count_, 0);
  EXPECT_EQ(sheet.model()->columnCount(), 0);
}

}  // namespace
}  // namespace vexa::test
