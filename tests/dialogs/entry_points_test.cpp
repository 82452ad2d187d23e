// The exported selection functions, driven through their real modal dialog:
// permission check, reload when empty, starting drawing, result paths of
// every form and kind, and the command line handed back.
#include <gtest/gtest.h>

#include <memory>

#include "tests/dialogs/dialog_driver.h"
#include "tests/support/temp_dir.h"
#include "vexafol/dialogs.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/hooks.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

using test::ClickControl;
using test::MarkRows;
using test::MessageRecorder;
using test::WhenDialogShown;

// Drawings 1 and 3 of the general application; stores for other host kinds
// share the folders.
class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeEnv(0);
    folder1_ = Write(0x1, 1, 1700000300);
    folder3_ = Write(0x1, 3, 1700000100);
  }
  std::unique_ptr<FolderEnvironObj> MakeEnv(unsigned long hostKind) const {
    FolderEnvironOptions options;
    options.appType = hostKind;
    options.userDataFile = dir_ / "user.ini";
    return std::make_unique<FolderEnvironObj>(dir_.path(), options);
  }
  std::string Write(int appId, int number, int64_t updated = 1700000000) {
    char name[16];
    std::snprintf(name, sizeof name, "Fol.%03d", number);
    std::string folder = GetSenyouPath(*env_, appId);
    env_->AddFileName(folder, name);
    VexaFileHeader header;
    header.SetTitle("図面" + std::to_string(number));
    header.pageCount = 1;
    header.updateTime = UnixToFileTime(updated);
    test::WriteFileBytes(folder + "/INDEX.VXF",
                         std::string(reinterpret_cast<const char*>(&header), sizeof header));
    return folder;
  }
  static int RowOf(FileDlgBase& dialog, int number, int appId) {
    return dialog.GetSheet()->FindRecord(number - 1, appId);
  }
  // Marks the drawings (numbers of appId) in order and presses OK.
  static void ChooseAndConfirm(FileDlgBase& dialog, const std::vector<int>& numbers, int appId) {
    std::vector<int> rows;
    for (int number : numbers) rows.push_back(RowOf(dialog, number, appId));
    dialog.GetSheet()->JumpTo(rows.front(), 1);
    MarkRows(*dialog.GetSheet(), rows);
    ClickControl(dialog, IDOK);
  }

  test::TempDir dir_;
  std::unique_ptr<FolderEnvironObj> env_;
  std::string folder1_, folder3_;
};

unsigned long g_askedCode = 0;
int RefuseAll(unsigned long code) {
  g_askedCode = code;
  return 0;
}

TEST_F(EntryPointsTest, RefusedPermissionReturnsZeroWithoutADialog) {
  const RightsHook previous = SetRightsHook(&RefuseAll);
  bool seen = true;
  WhenDialogShown([](FileDlgBase&) {}, &seen);
  std::vector<std::string> paths = {"kept"};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, -1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(g_askedCode, kOpeSelectDrawing);
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 2, -1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(g_askedCode, kOpeDeleteDrawing);
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 1, -1, paths, nullptr, nullptr, nullptr, 1, 0), 0);
  EXPECT_EQ(g_askedCode, kOpeSelectDrawing);
  EXPECT_EQ(paths, std::vector<std::string>{"kept"});
  std::string path = "p", command = "c";
  g_askedCode = 0;
  EXPECT_EQ(SelectFolderName(nullptr, *env_, -1, &path, &command), 0);
  EXPECT_EQ(g_askedCode, kOpeSelectDrawing);
  EXPECT_EQ(path, "p");
  EXPECT_EQ(command, "c");
  SetRightsHook(previous);
  QCoreApplication::processEvents();
  EXPECT_FALSE(seen);
}

TEST_F(EntryPointsTest, ModeThreeFailsWithoutADialog) {
  bool seen = true;
  WhenDialogShown([](FileDlgBase&) {}, &seen);
  std::vector<std::string> paths = {folder1_};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 3, 0x1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_TRUE(paths.empty());
  paths = {folder1_};
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 0x83, 0x1, paths, nullptr, nullptr, nullptr, 1, 0),
            2);
  EXPECT_TRUE(paths.empty());
  QCoreApplication::processEvents();
  EXPECT_FALSE(seen);
}

TEST_F(EntryPointsTest, ArrayFormStartsOnTheNamedDrawingAndReturnsFoldersInMarkingOrder) {
  std::string startKey;
  WhenDialogShown([&](FileDlgBase& dialog) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "編集する図面の選択");
    startKey = dialog.GetSheet()->GetMember(dialog.GetSheet()->GetCurrentKey())->path;
    ChooseAndConfirm(dialog, {3, 1}, 0x1);
  });
  std::vector<std::string> paths = {folder3_ + "/pagefile.000"};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1), 1);
  EXPECT_EQ(startKey, folder3_);
  EXPECT_EQ(paths, (std::vector<std::string>{folder3_, folder1_}));
}

TEST_F(EntryPointsTest, CancelEmptiesThePaths) {
  WhenDialogShown([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
  std::vector<std::string> paths = {folder1_};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_TRUE(paths.empty());

  // The delete kind never ends with OK through its own buttons.
  WhenDialogShown([](FileDlgBase& dialog) {
    QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  paths = {folder1_};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 2, 0x1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_TRUE(paths.empty());
  WhenDialogShown([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 2, 0x1, paths, nullptr, nullptr, nullptr, 1, 0), 2);
}

TEST_F(EntryPointsTest, EmptyApplicationShowsEveryDrawingExceptWhenWriting) {
  Write(0x4, 2);
  int records = 0;
  WhenDialogShown([&](FileDlgBase& dialog) {
    records = dialog.GetSheet()->GetRecCnt();
    ClickControl(dialog, IDCANCEL);
  });
  std::vector<std::string> paths;
  SelectFolderName(nullptr, *env_, 0, 0x8, paths, nullptr, nullptr, nullptr, 1);
  EXPECT_EQ(records, 3);

  // Writing keeps the requested application: one free number, "1".
  WhenDialogShown([&](FileDlgBase& dialog) {
    records = dialog.GetSheet()->GetRecCnt();
    ChooseAndConfirm(dialog, {1}, 0x8);
  });
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 1, 0x8, paths, nullptr, nullptr, nullptr, 1), 1);
  EXPECT_EQ(records, 1);
  EXPECT_EQ(paths, std::vector<std::string>{GetSenyouPath(*env_, 0x8) + "/Fol.001"});
}

TEST_F(EntryPointsTest, WriteKindReturnsFreeNumbersAndConfirmedDrawings) {
  MessageRecorder messages({IDOK});
  WhenDialogShown([](FileDlgBase& dialog) { ChooseAndConfirm(dialog, {4, 1, 2}, 0x1); });
  std::vector<std::string> paths;
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 1, 0x1, paths, nullptr, nullptr, nullptr, 1), 1);
  const std::string app = GetSenyouPath(*env_, 0x1);
  EXPECT_EQ(paths, (std::vector<std::string>{app + "/Fol.004", folder1_, app + "/Fol.002"}));
  EXPECT_EQ(messages.shown.size(), 1u);  // one overwrite question, for drawing 1
}

TEST_F(EntryPointsTest, SecondFormReportsTheSwitchButton) {
  WhenDialogShown([](FileDlgBase& dialog) {
    EXPECT_FALSE(dialog.GetDlgItem(29073)->isHidden());
    ClickControl(dialog, 29073);
  });
  std::vector<std::string> paths = {folder1_};
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1, 0), 255);
  EXPECT_TRUE(paths.empty());

  WhenDialogShown([](FileDlgBase& dialog) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "図面選択");
    ChooseAndConfirm(dialog, {1}, 0x1);
  });
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1, 1), 1);
  EXPECT_EQ(paths, std::vector<std::string>{folder1_});

  WhenDialogShown([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1, 0), 2);
  EXPECT_TRUE(paths.empty());
}

TEST_F(EntryPointsTest, SinglePathFormStartsFromAndReturnsOnePath) {
  std::string start;
  WhenDialogShown([&](FileDlgBase& dialog) {
    start = dialog.GetSheet()->GetMember(dialog.GetSheet()->GetCurrentKey())->path;
    ClickControl(dialog, IDOK);
  });
  std::string path = folder3_ + "/INDEX.VXF";
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, &path), 1);
  EXPECT_EQ(start, folder3_);
  EXPECT_EQ(path, folder3_);

  // A bare drawing folder names its parent's extension: no starting drawing.
  WhenDialogShown([&](FileDlgBase& dialog) {
    start = dialog.GetSheet()->GetMember(dialog.GetSheet()->GetCurrentKey())->path;
    ClickControl(dialog, IDCANCEL);
  });
  path = folder3_;
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, &path), 0);
  EXPECT_EQ(start, folder1_);  // record 0: the newest update
  EXPECT_EQ(path, "");
}

TEST_F(EntryPointsTest, CommandLineFormNamesTheIndexFileAndTheProgramThatOpensIt) {
  const std::string civil = Write(0x1000, 5);
  const std::string development = Write(0x2000, 6);
  const std::string bin = dir_ / "BIN";
  struct Case {
    unsigned long hostKind;
    int appId;
    int number;
    std::string folder;
    std::string expected;  // the command line without the path
  };
  const std::vector<Case> cases = {
      {0, 0x1, 1, folder1_, "\"" + bin + "/VEXA.EXE\" APPK.DLL "},
      {1, 0x1000, 5, civil, "\"" + bin + "/VEXA.EXE\" APPA.DLL ASSIST "},
      {2, 0x1000, 5, civil, "\"" + bin + "/APPB.EXE\" APPB.DLL "},
      {3, 0x1, 1, folder1_, "\"" + bin + "/APPB.EXE\" APPK.DLL "},
      {0, 0x2000, 6, development, "\"" + bin + "/APPB.EXE\" APPA.DLL "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const auto env = MakeEnv(c.hostKind);
    WhenDialogShown([&](FileDlgBase& dialog) { ChooseAndConfirm(dialog, {c.number}, c.appId); });
    std::string path, command;
    EXPECT_EQ(SelectFolderName(nullptr, *env, c.appId, &path, &command), 1);
    EXPECT_EQ(path, c.folder + "/INDEX.VXF");
    EXPECT_EQ(command, c.expected + path);
  }

  // Several marked drawings: the last one wins. Cancel empties both outputs.
  WhenDialogShown([](FileDlgBase& dialog) { ChooseAndConfirm(dialog, {1, 3}, 0x1); });
  std::string path, command;
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0x1, &path, &command), 1);
  EXPECT_EQ(path, folder3_ + "/INDEX.VXF");
  WhenDialogShown([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0x1, &path, &command), 0);
  EXPECT_EQ(path, "");
  EXPECT_EQ(command, "");
}

}  // namespace
}  // namespace vexa
