// Host services of the UI library: the message box and its test hook, the
// wait cursor behind the core's hook, the resource switch's nesting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "vexafol/hooks.h"
#include "vexafol/ui/message_box.h"
#include "vexafol/ui/set_instance.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

TEST(MessageBoxTest, HookAnswersWithoutAWindowAndIsRestored) {
  std::vector<std::string> seen;
  {
    ScopedMessageBoxHook hook(
        [&](QWidget*, const std::string& text, const std::string& title, unsigned type) {
          seen.push_back(title + "/" + text + "/" + std::to_string(type));
          return IDCANCEL;
        });
    EXPECT_EQ(MessageBox(nullptr, "上書きしますがよろしいですか？", "書き込みする図面の選択",
                         MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2),
              IDCANCEL);
    {
      ScopedMessageBoxHook inner(
          [](QWidget*, const std::string&, const std::string&, unsigned) { return IDYES; });
      EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_YESNO), IDYES);
    }
    EXPECT_EQ(MessageBox(nullptr, "図面が有りません", "図面の選択", MB_OK | MB_ICONEXCLAMATION),
              IDCANCEL);
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"書き込みする図面の選択/上書きしますがよろしいですか？/289",
                                      "図面の選択/図面が有りません/48"}));
  EXPECT_FALSE(SetMessageBoxHook(nullptr));  // nothing left installed
}

// Shows a real box, lets inspect look at it and then answers with key.
int ShowAndPress(unsigned type, Qt::Key key, const std::function<void(QMessageBox&)>& inspect) {
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    inspect(*box);
    QTest::keyClick(box, key);
  });
  return MessageBox(nullptr, "この図面はロックされています", "図面の読み込み", type);
}

TEST(MessageBoxTest, RealBoxHasTheTypesButtonsIconAndDefault) {
  std::vector<std::string> texts;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::string title;
  const auto look = [&](QMessageBox& box) {
    texts.clear();
    for (QAbstractButton* button : box.buttons()) texts.push_back(button->text().toStdString());
    icon = box.icon();
    title = box.windowTitle().toStdString() + "/" + box.text().toStdString();
  };
  EXPECT_EQ(ShowAndPress(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, Qt::Key_Return, look), IDNO);
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(texts.size(), 2u);
  EXPECT_EQ(title, "図面の読み込み/この図面はロックされています");

  EXPECT_EQ(ShowAndPress(MB_OKCANCEL | MB_ICONQUESTION, Qt::Key_Return, look), IDOK);
  EXPECT_EQ(ShowAndPress(MB_OKCANCEL | MB_ICONEXCLAMATION, Qt::Key_Escape, look), IDCANCEL);
  EXPECT_EQ(icon, QMessageBox::Warning);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"OK", "キャンセル"}));

  EXPECT_EQ(ShowAndPress(MB_OK | MB_ICONINFORMATION, Qt::Key_Escape, look), IDOK);
  EXPECT_EQ(icon, QMessageBox::Information);
  EXPECT_EQ(ShowAndPress(MB_YESNOCANCEL | MB_DEFBUTTON3, Qt::Key_Return, look), IDCANCEL);
}

TEST(WaitCursorTest, NestedWaitsShowOneOverrideCursor) {
  InitUiLibrary();
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    WaitCursor outer;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
      WaitCursor inner;
      EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(SetInstanceTest, CountsNestingAndInitialisesTheLibrary) {
  EXPECT_EQ(CSetInstance::Depth(), 0);
  {
    CSetInstance outer;
    CSetInstance inner;
    EXPECT_EQ(CSetInstance::Depth(), 2);
    EXPECT_EQ(QFont::substitute(QString::fromUtf8(kFaceGothic)).toLower(), "ipagothic");
  }
  EXPECT_EQ(CSetInstance::Depth(), 0);
}

}  // namespace
}  // namespace vexa
