// The dialog base: template ids as object names, dialog units, the modal run
// and its results, Return and Escape as Windows dialogs handle them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "vexafol/ui/dialog_base.h"
#include "vexafol/ui/dialog_units.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

TEST(DialogUnitsTest, ConvertLikeWindowsWithRounding) {
  const QSize base(7, 13);  // average character width 7, height 13
  EXPECT_EQ(DluToPixelsX(base, 4), 7);
  EXPECT_EQ(DluToPixelsX(base, 2), 4);    // 3.5 rounds up
  EXPECT_EQ(DluToPixelsX(base, -2), -4);  // symmetric for negatives
  EXPECT_EQ(DluToPixelsY(base, 8), 13);
  EXPECT_EQ(DluToPixelsY(base, 3), 5);  // 4.875
  EXPECT_EQ(DluToPixels(base, 4, 8, 40, 16), QRect(7, 13, 70, 26));

  // A wider font gives wider units; the Japanese dialog font gives plausible
  // ones (a 534 x 373 template fits a desktop).
  const QSize pgothic = DialogBaseUnits(DialogFont(kFacePGothic, 9));
  EXPECT_GE(pgothic.width(), 4);
  EXPECT_LE(pgothic.width(), 9);
  EXPECT_GE(pgothic.height(), 10);
  EXPECT_LE(pgothic.height(), 20);
  QFont large = DialogFont(kFacePGothic, 18);
  EXPECT_GT(DialogBaseUnits(large).width(), pgothic.width());
}

// A dialog with an edit, OK and Cancel; the data exchange can refuse.
class SampleDialog : public DialogBase {
 public:
  SampleDialog() : DialogBase(29014) {
    setWindowTitle("検索設定");
    SetTemplateSize(200, 100);
    edit = Place(new QLineEdit, 29015, 10, 10, 80, 12);
    AddButton(IDOK, "OK", 100, 70, 40, 14);
    AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 150, 70, 40, 14);
    AddLabel(-1, "図面名", 10, 30, 40, 8);
  }
  QLineEdit* edit;
  bool accept = true;
  int inits = 0;
  int saves = 0;

 protected:
  bool OnInitDialog() override {
    ++inits;
    return DialogBase::OnInitDialog();
  }
  bool DoDataExchange(bool save) override {
    if (save) ++saves;
    return !save || accept;
  }
};

// Runs dlg modally and drives it with act once the modal loop runs.
int RunWith(SampleDialog& dlg, std::function<void()> act) {
  QTimer::singleShot(0, &dlg, std::move(act));
  return dlg.DoModal();
}

TEST(DialogBaseTest, ControlsCarryTemplateIdsAndDialogUnitGeometry) {
  SampleDialog dlg;
  EXPECT_EQ(dlg.objectName(), "29014");
  EXPECT_EQ(dlg.TemplateId(), 29014);
  EXPECT_EQ(dlg.GetDlgItem(29015), dlg.edit);
  EXPECT_NE(dlg.Item<QPushButton>(IDOK), nullptr);
  EXPECT_EQ(dlg.Item<QPushButton>(29015), nullptr);  // wrong kind
  EXPECT_EQ(dlg.GetDlgItem(4711), nullptr);
  EXPECT_EQ(dlg.edit->geometry(), dlg.DluRect(10, 10, 80, 12));
  EXPECT_EQ(dlg.size(), dlg.DluRect(0, 0, 200, 100).size());
  EXPECT_EQ(QFontInfo(dlg.font()).family(), QFontInfo(QFont("IPAPGothic")).family());
}

TEST(DialogBaseTest, ModalRunEndsWithOkOrCancel) {
  SampleDialog dlg;
  EXPECT_EQ(RunWith(dlg, [&] { dlg.Item<QPushButton>(IDOK)->click(); }), IDOK);
  EXPECT_EQ(RunWith(dlg, [&] { dlg.Item<QPushButton>(IDCANCEL)->click(); }), IDCANCEL);
  EXPECT_EQ(RunWith(dlg, [&] { QTest::keyClick(dlg.edit, Qt::Key_Escape); }), IDCANCEL);
  EXPECT_EQ(RunWith(dlg, [&] { dlg.EndDialog(IDNO); }), IDNO);
  EXPECT_EQ(dlg.inits, 1);  // initialised once for all runs
}

TEST(DialogBaseTest, ReturnMeansOkUnlessDisabledOrRefused) {
  SampleDialog dlg;
  // Return in the edit runs OK.
  EXPECT_EQ(RunWith(dlg, [&] { QTest::keyClick(dlg.edit, Qt::Key_Return); }), IDOK);

  // A refused data exchange keeps the dialog open; with OK disabled Return
  // does nothing at all.
  dlg.accept = false;
  int saves = -1;
  EXPECT_EQ(RunWith(dlg,
                    [&] {
                      QTest::keyClick(dlg.edit, Qt::Key_Return);
                      dlg.Item<QPushButton>(IDOK)->setEnabled(false);
                      QTest::keyClick(dlg.edit, Qt::Key_Return);
                      saves = dlg.saves;
                      dlg.EndDialog(IDABORT);
                    }),
            IDABORT);
  EXPECT_EQ(saves, 2);  // the first Return tried, the second did not

  // Return on a focused button presses that button.
  dlg.Item<QPushButton>(IDOK)->setEnabled(true);
  EXPECT_EQ(RunWith(dlg,
                    [&] {
                      QWidget* cancel = dlg.GetDlgItem(IDCANCEL);
                      cancel->setFocus();
                      QTest::keyClick(cancel, Qt::Key_Return);
                    }),
            IDCANCEL);
}

}  // namespace
}  // namespace vexa
