// The grid while it is open: locked rows name their holder in a tool tip, and
// the timer's re-survey turns a drawing another process frees or takes white
// or red without a reload, in the records the OK checks read.
#include <gtest/gtest.h>

#include <QBrush>
#include <QTimer>

#include <memory>

#include "tests/select/ui/grid_fixture.h"
#include "tests/support/child_process.h"
#include "vexafol/folderlock.h"

namespace vexa::test {
namespace {

class SheetLocks : public testing::Test, public GridFixture {
 protected:
  static DrawingSpec Titled(const std::string& title) {
    DrawingSpec spec;
    spec.title = title;
    return spec;
  }
  // The cell of the title column of the drawing titled title.
  static QModelIndex Cell(FileSelSheet& sheet, const std::string& title) {
    for (int row = 0; row < sheet.GetRecCnt(); ++row) {
      const QModelIndex cell = sheet.model()->index(row, 1);
      if (cell.data().toString().toStdString() == title) return cell;
    }
    return {};
  }
  static bool Red(const QModelIndex& cell) { return cell.data(Qt::BackgroundRole).isValid(); }
  // What the sheet's timer does when it fires.
  static void Tick(FileSelSheet& sheet) {
    auto* timer = sheet.findChild<QTimer*>(QStringLiteral("lockWatch"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");
  }
};

TEST_F(SheetLocks, HoldersShowAndStatesFollowWhileOpen) {
  const std::string first = Drawing(1, Titled("first"));
  const std::string second = Drawing(2, Titled("second"));
  auto holder = std::make_unique<HoldingChild>(
      [&] { return (new VexaFolderLock(&env()))->LockZmn(first.c_str()) != 0; });
  ASSERT_TRUE(holder->holding());
  FileSelSheet sheet{FindCriteria{}};
  sheet.resize(800, 400);
  sheet.Init(&Load(kApp, 0), nullptr, kDefaultItems.data(), static_cast<int>(kDefaultItems.size()),
             0);
  sheet.show();

  const QString tip = Cell(sheet, "first").data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.startsWith("使用中: ")) << tip.toStdString();
  EXPECT_TRUE(tip.contains(" から")) << tip.toStdString();
  EXPECT_FALSE(Cell(sheet, "second").data(Qt::ToolTipRole).isValid());
  EXPECT_TRUE(Red(Cell(sheet, "first")));

  holder.reset();  // the holder ends
  VexaFolderLock other(&env());
  ASSERT_EQ(other.LockPage(second.c_str(), 0), 1);
  Tick(sheet);
  EXPECT_FALSE(Red(Cell(sheet, "first")));
  EXPECT_TRUE(Red(Cell(sheet, "second")));
  EXPECT_EQ(list().GetFolderMember(0)->lockState + list().GetFolderMember(1)->lockState, 1)
      << "the records the OK checks read follow too";
  EXPECT_TRUE(Cell(sheet, "second").data(Qt::ToolTipRole).toString().startsWith("使用中: "));
  other.UnLockAll();
  Tick(sheet);
  EXPECT_FALSE(Red(Cell(sheet, "second")));
}

}  // namespace
}  // namespace vexa::test
