// Deleting drawings from the selection dialog, driven as a user would: the
// delete kind through its entry point (Return, double click, the delete
// button), the question with No as default, the refusals, a failed move with
// its system text, and the grid after each deletion.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/sysinfo.h"
#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "vexafol/dialogs.h"
#include "vexafol/hooks.h"
#include "vexafol/recycle.h"

namespace vexa::test {
namespace {

constexpr unsigned kQuestion = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kDone = MB_OK | MB_ICONINFORMATION;

std::string Message(const std::string& text, unsigned type) {
  return "図面の削除/" + text + "/" + std::to_string(type);
}

class DeleteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawingSpec spec;
    spec.title = "橋梁";
    first_ = store_.WriteAppDrawing(0x1, 1, spec);
    spec.title = "道路";
    third_ = store_.WriteAppDrawing(0x1, 3, spec);
  }
  // Runs the delete kind of the entry point with act on its dialog.
  int RunDeleteKind(std::function<void(FileDlgBase&)> act, int mode = 2) {
    Answer<FileDlgBase> answer(std::move(act));
    std::vector<std::string> paths = {"kept"};
    const int result =
        SelectFolderName(nullptr, store_.env(), mode, 0x1, paths, nullptr, nullptr, nullptr, 1);
    EXPECT_TRUE(paths.empty());
    return result;
  }
  static void PutCursorOn(FileDlgBase& dialog, int number) {
    dialog.GetSheet()->JumpTo(dialog.GetSheet()->FindRecord(number - 1, 0x1), 1);
  }

  StoreFixture store_;
  std::string first_, third_;
};

TEST_F(DeleteTest, ReturnAndDoubleClickDeleteUntilTheLastDrawingClosesTheDialog) {
  MessageRecorder messages({IDNO, IDYES, IDOK, IDYES, IDOK});
  int recordsAfterFirst = -1;
  const int result = RunDeleteKind([&](FileDlgBase& dialog) {
    PutCursorOn(dialog, 1);
    QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);  // answered No
    QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);  // answered Yes
    recordsAfterFirst = dialog.GetSheet()->GetRecCnt();
    FileSelSheet& sheet = *dialog.GetSheet();
    const int row = sheet.FindRecord(2, 0x1);
    QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, Qt::NoModifier,
                       sheet.visualRect(sheet.model()->index(row, 1)).center());
  });
  EXPECT_EQ(result, 0);  // the last deletion closed it as cancelled
  EXPECT_EQ(recordsAfterFirst, 1);
  const std::string label1 = "図面 [1] \"橋梁\"", label3 = "図面 [3] \"道路\"";
  const std::string ask = " を削除してもよろしいですか？", done = " を削除しました。";
  EXPECT_EQ(
      messages.Described(),
      (std::vector<std::string>{Message(label1 + ask, kQuestion), Message(label1 + ask, kQuestion),
                                Message(label1 + done, kDone), Message(label3 + ask, kQuestion),
                                Message(label3 + done, kDone)}));
  const std::vector<RecycleSlot> recycled = ListRecycleSlots(store_.env());
  ASSERT_EQ(recycled.size(), 2u);
  EXPECT_EQ(recycled[0].title, "道路");  // newest first
  EXPECT_EQ(recycled[1].title, "橋梁");
}

int RefuseDeleting(unsigned long code) {
  return code == kOpeDeleteDrawing ? 0 : 1;
}

TEST_F(DeleteTest, RefusalsStopBeforeTheQuestion) {
  {  // Page files only.
    MessageRecorder messages;
    RunDeleteKind([](FileDlgBase& dialog) { ClickControl(dialog, kIdDelete); }, 0x82);
    EXPECT_EQ(messages.Described(),
              std::vector<std::string>{Message("ページファイルでしか実行できません。", kRefusal)});
  }
  {  // In use by another process when the list was loaded.
    HoldingChild holder(LockDrawing(store_.env(), first_));
    ASSERT_TRUE(holder.holding());
    MessageRecorder messages;
    RunDeleteKind([](FileDlgBase& dialog) {
      PutCursorOn(dialog, 1);
      ClickControl(dialog, kIdDelete);
    });
    EXPECT_EQ(messages.Described(),
              std::vector<std::string>{Message("この図面はロックされています。", kRefusal)});
  }
  {  // No right to delete: the open kind's delete button does nothing at all.
    MessageRecorder messages;
    Answer<FileDlgBase> answer([](FileDlgBase& dialog) {
      const RightsHook previous = SetRightsHook(&RefuseDeleting);
      ClickControl(dialog, kIdDelete);
      SetRightsHook(previous);
    });
    std::vector<std::string> paths;
    SelectFolderName(nullptr, store_.env(), 0, 0x1, paths, nullptr, nullptr, nullptr, 1);
    EXPECT_TRUE(messages.shown.empty());
  }
  EXPECT_TRUE(ListRecycleSlots(store_.env()).empty());
}

TEST_F(DeleteTest, DrawingTakenAfterTheLoadFailsWithTheSystemText) {
  MessageRecorder messages({IDYES, IDOK});
  RunDeleteKind([&](FileDlgBase& dialog) {
    HoldingChild holder(LockDrawing(store_.env(), first_));
    ASSERT_TRUE(holder.holding());
    PutCursorOn(dialog, 1);
    ClickControl(dialog, kIdDelete);
  });
  const std::vector<std::string> shown = messages.Described();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(
      shown[1],
      Message(
          "図面 [1] \"橋梁\" の削除に失敗しました。\n\n図面をごみ箱フォルダへ移動できません。\n" +
              platform::SystemErrorText(EBUSY),
          kRefusal));
  EXPECT_TRUE(ListRecycleSlots(store_.env()).empty());
}

}  // namespace
}  // namespace vexa::test
