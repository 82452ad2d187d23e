// Host services of the UI library: the message box and its test hook, the
// wait cursor behind the core's hook, the resource switch's nesting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "vexafol/hooks.h"
#include "vexafol/ui/message_box.h"
#include "vexafol/ui/set_instance.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

TEST(MessageBoxTest, HookAnswersWithoutAWindowNestsAndIsRestored) {
  std::vector<std::string> seen;
  {
    ScopedMessageBoxHook hook(
        [&](QWidget*, const std::string& text, const std::string& title, unsigned type) {
          seen.push_back(title + "/" + text + "/" + std::to_string(type));
          return IDCANCEL;
        });
    {
      ScopedMessageBoxHook inner(
          [](QWidget*, const std::string&, const std::string&, unsigned) { return IDYES; });
      EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_YESNO), IDYES);
    }
    EXPECT_EQ(MessageBox(nullptr, "上書きしますがよろしいですか？", "書き込みする図面の選択",
                         MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2),
              IDCANCEL);
  }
  EXPECT_EQ(seen,
            std::vector<std::string>{"書き込みする図面の選択/上書きしますがよろしいですか？/289"});
  EXPECT_FALSE(SetMessageBoxHook(nullptr));  // nothing left installed
}

TEST(MessageBoxTest, RealBoxHonoursTheDefaultButtonAndEscape) {
  struct Case {
    unsigned type;
    Qt::Key key;
    int answer;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, Qt::Key_Return, IDNO, QMessageBox::Question},
      {MB_OK | MB_ICONINFORMATION, Qt::Key_Escape, IDOK, QMessageBox::Information},
  };
  for (const Case& c : cases) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      icon = box->icon();
      QTest::keyClick(box, c.key);
    });
    EXPECT_EQ(MessageBox(nullptr, "この図面はロックされています", "図面の読み込み", c.type),
              c.answer);
    EXPECT_EQ(icon, c.icon);
  }
}

TEST(UiHostTest, NestedWaitCursorsAndResourceSwitches) {
  InitUiLibrary();
  {
    WaitCursor outer;
    { WaitCursor inner; }
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  {
    CSetInstance outer;
    CSetInstance inner;
    EXPECT_EQ(CSetInstance::Depth(), 2);
  }
  EXPECT_EQ(CSetInstance::Depth(), 0);
}

}  // namespace
}  // namespace vexa
