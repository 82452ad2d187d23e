// The dialog base: template ids, the modal run and its results, Return and
// Escape as Windows dialogs handle them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "vexafol/ui/dialog_base.h"

namespace vexa {
namespace {

// A dialog with an edit, OK and Cancel; the data exchange can refuse.
class SampleDialog : public DialogBase {
 public:
  SampleDialog() : DialogBase(29014) {
    SetTemplateSize(200, 100);
    edit = Place(new QLineEdit, 29015, 10, 10, 80, 12);
    AddButton(IDOK, "OK", 100, 70, 40, 14);
    AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 150, 70, 40, 14);
  }
  QLineEdit* edit;
  bool accept = true;
  int saves = 0;

  // Runs modally, driven by act once the modal loop runs.
  int RunWith(std::function<void()> act) {
    QTimer::singleShot(0, this, std::move(act));
    return DoModal();
  }

 protected:
  bool DoDataExchange(bool save) override {
    if (save) ++saves;
    return !save || accept;
  }
};

TEST(DialogBaseTest, ControlsAndTheModalRunLikeWindows) {
  SampleDialog dlg;
  EXPECT_EQ(dlg.objectName(), "29014");
  EXPECT_EQ(dlg.GetDlgItem(29015), dlg.edit);
  EXPECT_EQ(dlg.Item<QPushButton>(29015), nullptr);  // wrong kind
  EXPECT_EQ(dlg.edit->geometry(), dlg.DluRect(10, 10, 80, 12));

  EXPECT_EQ(dlg.RunWith([&] { QTest::keyClick(dlg.edit, Qt::Key_Return); }), IDOK);
  EXPECT_EQ(dlg.RunWith([&] { QTest::keyClick(dlg.edit, Qt::Key_Escape); }), IDCANCEL);

  // A refused data exchange keeps the dialog open; with OK disabled Return
  // does nothing at all; Return on a focused button presses that button.
  dlg.accept = false;
  int saves = -1;
  EXPECT_EQ(dlg.RunWith([&] {
    QTest::keyClick(dlg.edit, Qt::Key_Return);
    dlg.Item<QPushButton>(IDOK)->setEnabled(false);
    QTest::keyClick(dlg.edit, Qt::Key_Return);
    saves = dlg.saves;
    QWidget* cancel = dlg.GetDlgItem(IDCANCEL);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
  }),
            IDCANCEL);
  EXPECT_EQ(saves, 2);  // the first Return tried, the second did not
}

}  // namespace
}  // namespace vexa
