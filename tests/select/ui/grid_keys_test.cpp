// The selection dialog driven from the keyboard, through the real entry
// point: after every key that moves the cursor, the info panel, the marked
// record and the path the dialog returns name the same drawing, in every
// kind.
#include <gtest/gtest.h>

#include <QKeySequence>
#include <QLineEdit>

#include <cstdlib>
#include <string>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "vexafol/dialogs.h"
#include "vexafol/ui/file_info_dlg.h"

namespace vexa::test {
namespace {

constexpr int kDrawings = 40;
constexpr int kStart = 20;

// The drawing number a result path names ("…/Fol.007" gives 7); 0 for none.
int NumberOf(const std::string& path) {
  const size_t dot = path.rfind("Fol.");
  return dot == std::string::npos ? 0 : std::atoi(path.c_str() + dot + 4);
}

struct Seen {
  int panel = -1;   // the panel's number, 0 when it is empty (a free number)
  int marked = -1;  // the number of the one marked record; -1 unless exactly one
  bool freeNumber = false;
};

// Presses the key in the grid, notes what the panel and the marks show, then
// confirms with Return.
void PressThenConfirm(FileDlgBase& dialog, const QKeyCombination& key, Seen& seen) {
  FileSelSheet& sheet = *dialog.GetSheet();
  sheet.setFocus();
  QTest::keyClick(&sheet, key.key(), key.keyboardModifiers());
  seen.panel = dialog.GetInfoPanel()->Item<QLineEdit>(kIdInfoNumber)->text().toInt();
  const std::vector<int> marks = sheet.GetMarkRecOrder();
  if (marks.size() == 1) {
    const QString number = sheet.model()->index(marks[0], 0).data().toString();
    seen.marked = number.toInt();
    seen.freeNumber = sheet.GetRowMember(marks[0]) == nullptr;
  }
  int row = -1;
  sheet.GetEditPos(&row, nullptr);
  EXPECT_EQ(marks, std::vector<int>{row}) << "the cursor's record is the marked one";
  QTest::keyClick(&sheet, Qt::Key_Return);
}

TEST(GridKeys, PanelMarkAndResultAgreeAfterEveryMovingKeyInEveryKind) {
  StoreFixture store;
  std::string start;
  for (int n = 1; n <= kDrawings; ++n) {
    DrawingSpec spec;
    spec.updated = 1700000000 + n;  // newest first: the grid lists 40 down to 1
    const std::string folder = store.WriteAppDrawing(0x1, n, spec);
    if (n == kStart) start = folder + "/INDEX.VXF";
  }
  const QKeyCombination keys[] = {
      Qt::Key_Down,
      Qt::Key_Up,
      Qt::Key_PageDown,
      Qt::Key_PageUp,
      Qt::Key_Home,
      Qt::Key_End,
      QKeyCombination(Qt::ControlModifier, Qt::Key_Home),
      QKeyCombination(Qt::ControlModifier, Qt::Key_End),
      QKeyCombination(Qt::ControlModifier, Qt::Key_Down),
      QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp),
  };
  for (int kind : {0, 1, 2}) {
    for (const QKeyCombination& key : keys) {
      SCOPED_TRACE("kind " + std::to_string(kind) + ", " +
                   QKeySequence(key).toString().toStdString());
      MessageRecorder overwriteQuestions;  // answered OK
      Seen seen;
      Answer<FileDlgBase> answer([&](FileDlgBase& dialog) { PressThenConfirm(dialog, key, seen); });
      std::vector<std::string> paths = {start};
      const int result =
          SelectFolderName(nullptr, store.env(), kind, 0x1, paths, nullptr, nullptr, nullptr, 1);
      ASSERT_GT(seen.marked, 0);
      EXPECT_NE(seen.marked, kStart) << "the key moved nothing";
      EXPECT_EQ(seen.panel, seen.freeNumber ? 0 : seen.marked);
      if (kind == 2) {  // confirming is the delete command: the dialog only closes by Cancel
        EXPECT_EQ(result, 0);
        continue;
      }
      EXPECT_EQ(result, 1);
      ASSERT_EQ(paths.size(), 1u);
      EXPECT_EQ(NumberOf(paths[0]), seen.marked);
    }
  }
}

}  // namespace
}  // namespace vexa::test
