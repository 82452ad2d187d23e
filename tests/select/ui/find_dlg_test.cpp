// The search dialog on its own, driven through its controls' template ids: what
// it shows from the drawings and the last conditions, the boxes it ticks while
// the user edits, and Return moving on instead of closing.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <array>

#include "select/ui/date_field.h"
#include "select/ui/find_dlg.h"
#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/ui/num_edit.h"

namespace vexa::test {
namespace {

QStringList Entries(const QComboBox& names) {
  QStringList entries;
  for (int i = 0; i < names.count(); ++i) entries << names.itemText(i);
  return entries;
}

class FindDlgTest : public ::testing::Test {
 protected:
  // In creation order: drawing 3 by 山田, 7 by abc, 5 by ABC (the same name to
  // the list, which ignores case) with no updater.
  void SetUp() override {
    store_.WriteAppDrawing(0x1, 3, {"道路平面図", "山田", "田中", "", 1700000000});
    store_.WriteAppDrawing(0x1, 7, {"道路縦断図", "abc", "山田", "", 1700100000});
    store_.WriteAppDrawing(0x1, 5, {"橋梁", "ABC", "", "", 1700200000});
    list_.Load(0x1, 0);
  }
  // Initialises the dialog and shows it as the active window, without a modal loop.
  static void Open(FindDlg& dialog) {
    dialog.InitDialog();
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
  static bool Ticked(const FindDlg& dialog, int id) {
    return dialog.Item<QCheckBox>(id)->isChecked();
  }
  static bool AnyTicked(const FindDlg& dialog) {
    return std::ranges::any_of(std::array{kIdUseNo, kIdUseName, kIdUseCreator, kIdUseUpdater,
                                          kIdUseCreated, kIdUseUpdated, kIdUseMemo},
                               [&](int box) { return Ticked(dialog, box); });
  }
  // The control of the template that has the focus (a date field's edit
  // counts as its field).
  static QString Focused(const FindDlg& dialog) {
    QWidget* focused = dialog.focusWidget();
    while (focused && focused->parentWidget() != &dialog) focused = focused->parentWidget();
    return focused ? focused->objectName() : QString();
  }

  StoreFixture store_;
  VexaFolderList list_{store_.env()};
};

TEST_F(FindDlgTest, StartsFromTheDrawingsAndTheLastConditionsWithTheMemoClear) {
  FindCriteria none;
  FindDlg fresh(&list_, &none);
  Open(fresh);
  EXPECT_EQ(fresh.Item<NumEdit>(kIdNoFrom)->GetValue(), 3);
  EXPECT_EQ(fresh.Item<NumEdit>(kIdNoTo)->GetValue(), 7);
  EXPECT_EQ(Entries(*fresh.Item<QComboBox>(kIdCreator)), QStringList({"山田", "abc"}));
  EXPECT_EQ(Entries(*fresh.Item<QComboBox>(kIdUpdater)), QStringList({"田中", "山田"}));
  EXPECT_EQ(fresh.Item<QComboBox>(kIdCreator)->currentIndex(), -1);
  EXPECT_FALSE(AnyTicked(fresh));

  FindCriteria last;
  last.useNo = 1, last.noFrom = 4, last.noTo = 5;
  last.useName = 1, last.name = "道路";
  last.useCreator = 1, last.creator = "ABC";           // selects "abc"
  last.useUpdater = 1, last.updater = "鈴木";          // not in the list: box clear
  last.useCreated = 1, last.createdFrom = 1600000000;  // 2020-09-13 in Tokyo
  last.useMemo = 1, last.memo = "杭";
  FindDlg again(&list_, &last);
  Open(again);
  EXPECT_EQ(again.Item<NumEdit>(kIdNoFrom)->GetValue(), 4);
  EXPECT_EQ(again.Item<QLineEdit>(kIdName)->text(), "道路");
  EXPECT_EQ(again.Item<QComboBox>(kIdCreator)->currentText(), "abc");
  EXPECT_EQ(again.Item<QComboBox>(kIdUpdater)->currentIndex(), -1);
  EXPECT_EQ(again.Item<DateField>(kIdCreatedFrom)->date(), QDate(2020, 9, 13));
  EXPECT_EQ(again.Item<DateField>(kIdCreatedTo)->date(), QDate::currentDate());
  EXPECT_TRUE(Ticked(again, kIdUseNo) && Ticked(again, kIdUseName) &&
              Ticked(again, kIdUseCreator) && Ticked(again, kIdUseCreated));
  EXPECT_FALSE(Ticked(again, kIdUseUpdater) || Ticked(again, kIdUseMemo));
  EXPECT_TRUE(again.Item<QPlainTextEdit>(kIdMemo)->toPlainText().isEmpty());
}

TEST_F(FindDlgTest, EditingTicksItsConditionAndReturnMovesOn) {
  FindCriteria criteria;
  FindDlg dialog(&list_, &criteria);
  Open(dialog);
  // Return through every control up to the memo field changes nothing.
  QStringList visited;
  dialog.GetDlgItem(kIdUseNo)->setFocus();
  for (int step = 0; step < 16 && Focused(dialog) != QString::number(kIdMemo); ++step) {
    visited << Focused(dialog);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  }
  QStringList order;
  for (int id : {kIdUseNo, kIdNoFrom, kIdNoTo, kIdUseName, kIdName, kIdUseCreator, kIdCreator,
                 kIdUseUpdater, kIdUpdater, kIdUseCreated, kIdCreatedFrom, kIdCreatedTo,
                 kIdUseUpdated, kIdUpdatedFrom, kIdUpdatedTo, kIdUseMemo}) {
    order << QString::number(id);
  }
  EXPECT_EQ(visited, order);
  EXPECT_FALSE(AnyTicked(dialog));

  auto* name = dialog.Item<QLineEdit>(kIdName);
  name->setFocus();
  QTest::keyClick(name, Qt::Key_Return);  // unchanged: moves on, ticks nothing
  EXPECT_EQ(Focused(dialog), QString::number(kIdUseCreator));
  EXPECT_FALSE(Ticked(dialog, kIdUseName));
  QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);  // a box is not toggled
  EXPECT_EQ(Focused(dialog), QString::number(kIdCreator));
  EXPECT_FALSE(Ticked(dialog, kIdUseCreator));
  QTest::keyClick(dialog.focusWidget(), Qt::Key_Down);  // chooses "山田"
  EXPECT_TRUE(Ticked(dialog, kIdUseCreator));

  auto* from = dialog.Item<NumEdit>(kIdNoFrom);
  from->setFocus();
  from->selectAll();
  QTest::keyClicks(from, "9");
  QTest::keyClick(from, Qt::Key_Return);  // above "to": raises it
  EXPECT_EQ(Focused(dialog), QString::number(kIdNoTo));
  EXPECT_EQ(dialog.Item<NumEdit>(kIdNoTo)->GetValue(), 9);
  EXPECT_TRUE(Ticked(dialog, kIdUseNo));

  name->setFocus();
  name->setText("縦断");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_TRUE(Ticked(dialog, kIdUseName));
  dialog.Item<DateField>(kIdUpdatedTo)->setDate(QDate(2023, 11, 20));
  EXPECT_TRUE(Ticked(dialog, kIdUseUpdated));
  EXPECT_FALSE(Ticked(dialog, kIdUseCreated));

  auto* memo = dialog.Item<QPlainTextEdit>(kIdMemo);
  dialog.Item<QCheckBox>(kIdUseMemo)->setChecked(true);
  memo->setFocus();
  QTest::keyClicks(memo, "A");
  QTest::keyClick(memo, Qt::Key_Return);  // a new line, not OK
  QTest::keyClicks(memo, "B");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(criteria.useNo, 0);  // nothing is written before OK

  dialog.GetDlgItem(IDOK)->setFocus();
  QTest::keyClick(dialog.GetDlgItem(IDOK), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_FALSE(dialog.IsRelease());
  EXPECT_EQ(criteria.useNo, 1);
  EXPECT_EQ(criteria.noFrom, 9);
  EXPECT_EQ(criteria.noTo, 9);
  EXPECT_EQ(criteria.name, "縦断");
  EXPECT_EQ(criteria.creator, "山田");
  EXPECT_EQ(criteria.useCreated, 0);
  EXPECT_EQ(QDateTime::fromSecsSinceEpoch(criteria.updatedTo).date(), QDate(2023, 11, 20));
  EXPECT_EQ(criteria.memo, "A\r\nB");
}

// The room a line edit has for its text: its width less the frame and the
// two pixels Qt keeps on each side.
int TextRoom(const QLineEdit* edit) {
  const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  return edit->width() - 2 * frame - 4;
}

TEST_F(FindDlgTest, DateFieldsShowEveryDigitTakeTypedDaysAndPassTabInOneStep) {
  FindCriteria criteria;
  FindDlg dialog(&list_, &criteria);
  Open(dialog);
  for (int id : {kIdCreatedFrom, kIdCreatedTo, kIdUpdatedFrom, kIdUpdatedTo}) {
    const DateField* field = dialog.Item<DateField>(id);
    const QString widest = QDate(2000, 12, 28).toString(field->displayFormat());
    EXPECT_GE(TextRoom(field->lineEdit()),
              field->lineEdit()->fontMetrics().horizontalAdvance(widest))
        << id << " " << widest.toStdString();
    EXPECT_TRUE(field->calendarButton()->isVisible());
    EXPECT_GE(field->calendarButton()->width(), 12);
    EXPECT_EQ(field->calendarButton()->focusPolicy(), Qt::NoFocus);
  }

  // Typed days, in the shown format or as ISO dates or digits only; Tab
  // leaves the field at once.
  auto* from = dialog.Item<DateField>(kIdCreatedFrom);
  from->setFocus();
  QTest::keyClicks(from->lineEdit(), "2023-06-01");  // the text was selected on entry
  QTest::keyClick(from->lineEdit(), Qt::Key_Tab);
  EXPECT_EQ(from->date(), QDate(2023, 6, 1));
  EXPECT_EQ(from->lineEdit()->text(), "2023/06/01");
  EXPECT_TRUE(Ticked(dialog, kIdUseCreated));
  EXPECT_EQ(Focused(dialog), QString::number(kIdCreatedTo));
  auto* to = dialog.Item<DateField>(kIdCreatedTo);
  QTest::keyClicks(to->lineEdit(), "20231231");
  QTest::keyClick(to->lineEdit(), Qt::Key_Return);  // taken, and on to the next control
  EXPECT_EQ(to->date(), QDate(2023, 12, 31));
  EXPECT_EQ(Focused(dialog), QString::number(kIdUseUpdated));
  // A text that is no day brings the last day back.
  to->setFocus();
  QTest::keyClicks(to->lineEdit(), "2023/13/45");
  QTest::keyClick(to->lineEdit(), Qt::Key_Tab);
  EXPECT_EQ(to->date(), QDate(2023, 12, 31));
  EXPECT_EQ(to->lineEdit()->text(), "2023/12/31");

  // The calendar button opens a calendar; a day clicked there is taken.
  auto* updated = dialog.Item<DateField>(kIdUpdatedFrom);
  QTest::mouseClick(updated->calendarButton(), Qt::LeftButton);
  auto* calendar = updated->findChild<QCalendarWidget*>();
  ASSERT_NE(calendar, nullptr);
  EXPECT_TRUE(calendar->isVisible());
  EXPECT_EQ(calendar->selectedDate(), QDate::currentDate());
  emit calendar->clicked(QDate(2022, 2, 22));
  EXPECT_EQ(updated->date(), QDate(2022, 2, 22));
  EXPECT_TRUE(Ticked(dialog, kIdUseUpdated));

  dialog.GetDlgItem(IDOK)->setFocus();
  QTest::keyClick(dialog.GetDlgItem(IDOK), Qt::Key_Return);
  EXPECT_EQ(QDateTime::fromSecsSinceEpoch(criteria.createdFrom).date(), QDate(2023, 6, 1));
  EXPECT_EQ(QDateTime::fromSecsSinceEpoch(criteria.createdTo).date(), QDate(2023, 12, 31));
  EXPECT_EQ(QDateTime::fromSecsSinceEpoch(criteria.updatedFrom).date(), QDate(2022, 2, 22));
}

}  // namespace
}  // namespace vexa::test
