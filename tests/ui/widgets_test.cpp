// The dialog library's controls: integer edit limits, bitmap buttons and the
// library bitmaps, the drag list reordered through its model.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/drag_list_box.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

TEST(NumEditTest, ValueStaysWithinLimits) {
  NumEdit edit(29058);
  EXPECT_EQ(edit.objectName(), "29058");
  edit.SetValue(150, 1, 100);
  EXPECT_EQ(edit.GetValue(), 100);
  EXPECT_EQ(edit.text(), "100");
  edit.SetValue(-5);
  EXPECT_EQ(edit.GetValue(), 1);

  // Typing: letters are refused, a number past the limit reads as the limit.
  edit.clear();
  QTest::keyClicks(&edit, "4x2");
  EXPECT_EQ(edit.text(), "42");
  EXPECT_EQ(edit.GetValue(), 42);
  edit.clear();
  QTest::keyClicks(&edit, "0");
  EXPECT_EQ(edit.GetValue(), 1);
  edit.clear();
  EXPECT_EQ(edit.GetValue(), 1);  // empty reads as the lower limit
  QTest::keyClicks(&edit, "-");
  EXPECT_EQ(edit.text(), "");  // no minus sign above zero

  // Limits given the wrong way round are swapped; the value is re-clamped.
  edit.SetValue(500, 999, 1);
  EXPECT_EQ(edit.Minimum(), 1);
  EXPECT_EQ(edit.Maximum(), 999);
  EXPECT_EQ(edit.GetValue(), 500);
  edit.SetLimits(1, 50);
  EXPECT_EQ(edit.text(), "50");
}

TEST(NumEditTest, LeavingTheEditShowsTheClampedValue) {
  QWidget window;
  auto* edit = new NumEdit(-1, &window);
  auto* other = new NumEdit(-1, &window);
  other->move(0, 40);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  edit->SetValue(5, 1, 999);
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, "0");
  other->setFocus();
  EXPECT_EQ(edit->text(), "1");
}

TEST(BitButtonTest, BitmapFacesHintAndCaption) {
  BitButton button(29033, "検索");
  EXPECT_EQ(button.objectName(), "29033");
  EXPECT_EQ(button.text(), "検索");  // no bitmap yet: the caption shows
  ASSERT_TRUE(button.SetBitmap(29040));
  EXPECT_TRUE(button.text().isEmpty());
  EXPECT_FALSE(button.icon().isNull());
  EXPECT_EQ(button.accessibleName(), "検索");
  button.SetHint("検索");
  EXPECT_EQ(button.toolTip(), "検索");
  EXPECT_EQ(button.Hint(), "検索");

  EXPECT_FALSE(button.SetBitmap(4711));
  EXPECT_FALSE(button.icon().isNull());  // unknown bitmap: unchanged

  QPixmap up(8, 8);
  up.fill(Qt::red);
  QPixmap down(8, 8);
  down.fill(Qt::blue);
  button.SetBitmap(up, down);
  button.SetFace(1);
  EXPECT_EQ(button.Face(), 1);
  EXPECT_EQ(button.icon().pixmap(8, 8).toImage().pixelColor(4, 4), QColor(Qt::blue));
  button.SetFace(7);
  EXPECT_EQ(button.Face(), 1);
}

TEST(LibraryBitmapsTest, EveryToolbarBitmapAndPadlockLoads) {
  for (int id : {29009, 29011, 29018, 29039, 29040, 29041, 29042, 11045, 25000}) {
    EXPECT_FALSE(LoadBitmap(id).isNull()) << id;
  }
  for (int id : {29003, 29004}) {
    const QPixmap padlock = LoadBitmap(id);
    EXPECT_EQ(padlock.size(), QSize(20, 20)) << id;
  }
  EXPECT_NE(LoadBitmap(29003).toImage(), LoadBitmap(29004).toImage());
  EXPECT_TRUE(LoadBitmap(1).isNull());
}

TEST(DragListBoxTest, ReordersThroughTheModel) {
  DragListBox list(19001);
  EXPECT_EQ(list.objectName(), "19001");
  EXPECT_EQ(list.dragDropMode(), QAbstractItemView::InternalMove);
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
  for (const char* text : {"図面No", "図面名", "CAD種類", "メモ"}) list.AddText(text);
  QSignalSpy moved(list.model(), &QAbstractItemModel::rowsMoved);

  ASSERT_TRUE(list.MoveItem(0, 2));
  EXPECT_EQ(list.Texts(), (std::vector<std::string>{"図面名", "CAD種類", "図面No", "メモ"}));
  ASSERT_TRUE(list.MoveItem(3, 0));
  EXPECT_EQ(list.Texts(), (std::vector<std::string>{"メモ", "図面名", "CAD種類", "図面No"}));
  EXPECT_EQ(moved.count(), 2);

  EXPECT_FALSE(list.MoveItem(4, 0));
  EXPECT_FALSE(list.MoveItem(0, -1));
  EXPECT_TRUE(list.MoveItem(1, 1));
  EXPECT_EQ(list.Texts(), (std::vector<std::string>{"メモ", "図面名", "CAD種類", "図面No"}));
}

}  // namespace
}  // namespace vexa
