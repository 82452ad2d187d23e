// Host services of the UI library: the message box and its test hook, the
// wait cursor behind the core's hook.
#include <gtest/gtest.h>

#include <QApplication>

#include <string>
#include <vector>

#include "vexafol/hooks.h"
#include "vexafol/ui/message_box.h"
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

TEST(UiHostTest, NestedWaitCursorsEndWithTheOuterOne) {
  InitUiLibrary();
  {
    WaitCursor outer;
    { WaitCursor inner; }
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace vexa
