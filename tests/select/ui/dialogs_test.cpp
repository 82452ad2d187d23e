// The exported selection functions, driven through their real modal dialog:
// permission check, starting drawing, result paths of every form and kind,
// and the command line handed back.
#include <gtest/gtest.h>

#include <memory>

#include "tests/select/ui/dialog_driver.h"
#include "tests/support/store_fixture.h"
#include "vexafol/dialogs.h"
#include "vexafol/hooks.h"

namespace vexa::test {
namespace {

using Paths = std::vector<std::string>;

// Drawings 1 and 3 of the general application; stores for other host kinds
// share the folders.
class EntryPointsTest : public ::testing::Test {
 protected:
  std::unique_ptr<FolderEnvironObj> MakeEnv(unsigned long hostKind) const {
    FolderEnvironOptions options;
    options.appType = hostKind;
    options.userDataFile = dir_ / "user.ini";
    return std::make_unique<FolderEnvironObj>(dir_.path(), options);
  }
  std::string Write(int appId, int number, int64_t updated = 1700000000) {
    DrawingSpec spec;
    spec.updated = updated;
    return StoreFixture::WriteDrawing(
        GetSenyouPath(*env_, appId) + "/Fol.00" + std::to_string(number), spec);
  }

  TempDir dir_;
  std::unique_ptr<FolderEnvironObj> env_ = MakeEnv(0);
  std::string folder1_ = Write(0x1, 1, 1700000300);
  std::string folder3_ = Write(0x1, 3, 1700000100);
};

std::vector<unsigned long> askedCodes;
int rightsAnswer = 1;
int RecordCode(unsigned long code) {
  askedCodes.push_back(code);
  return rightsAnswer;
}

TEST_F(EntryPointsTest, RightsDecideBeforeAnyDialogAndKind3FailsWithoutOne) {
  const RightsHook previous = SetRightsHook(&RecordCode);
  Paths paths = {"kept"};
  {
    Answer<FileDlgBase> none([](FileDlgBase&) {});
    rightsAnswer = 0;  // refused: zero, outputs untouched
    EXPECT_EQ(SelectFolderName2(nullptr, *env_, 1, -1, paths, nullptr, nullptr, nullptr, 1, 0), 0);
    EXPECT_EQ(paths, Paths{"kept"});
    std::string path = "p", command = "c";
    EXPECT_EQ(SelectFolderName(nullptr, *env_, -1, &path, &command), 0);
    EXPECT_EQ(path + command, "pc");
    QCoreApplication::processEvents();
    EXPECT_FALSE(none.seen());
  }

  rightsAnswer = 1;
  askedCodes.clear();
  for (int mode : {kModeDelete, kModeViewOnly}) {
    Answer<FileDlgBase> cancel([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
    EXPECT_EQ(SelectFolderName(nullptr, *env_, mode, 0x1, paths, nullptr, nullptr, nullptr, 1), 0);
  }
  EXPECT_EQ(askedCodes, (std::vector<unsigned long>{0x1e0203, 0x1e0200}));

  // The no-dialog kind (any mode whose kind bits are 3) fails after the rights check.
  Answer<FileDlgBase> none([](FileDlgBase&) {});
  askedCodes.clear();
  paths = {"kept"};
  EXPECT_EQ(
      SelectFolderName(nullptr, *env_, kModeNoDialog, 0x1, paths, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_TRUE(paths.empty());
  paths = {"kept"};
  EXPECT_EQ(SelectFolderName2(nullptr, *env_, kModePageOnly | kModeNoDialog, 0x1, paths, nullptr,
                              nullptr, nullptr, 1, 0),
            2);
  EXPECT_TRUE(paths.empty());
  EXPECT_EQ(askedCodes, (std::vector<unsigned long>{0x1e0200, 0x1e0200}));
  SetRightsHook(previous);
  QCoreApplication::processEvents();
  EXPECT_FALSE(none.seen());
}

TEST_F(EntryPointsTest, ArrayFormStartsOnTheNamedDrawingAndReturnsFoldersInMarkingOrder) {
  std::string start;
  Answer<FileDlgBase> answer([&](FileDlgBase& dialog) {
    start = dialog.GetSheet()->GetMember(dialog.GetSheet()->GetCurrentKey())->path;
    ConfirmDrawings(dialog, {3, 1});
  });
  Paths paths = {folder3_ + "/pagefile.000"};
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, paths, nullptr, nullptr, nullptr, 1), 1);
  EXPECT_EQ(start, folder3_);
  EXPECT_EQ(paths, (Paths{folder3_, folder1_}));
}

TEST_F(EntryPointsTest, WriteKindReturnsFreeNumbersAndConfirmedDrawings) {
  MessageRecorder messages({IDOK});
  Answer<FileDlgBase> answer([](FileDlgBase& dialog) { ConfirmDrawings(dialog, {4, 1, 2}); });
  Paths paths;
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 1, 0x1, paths, nullptr, nullptr, nullptr, 1), 1);
  const std::string app = GetSenyouPath(*env_, 0x1);
  EXPECT_EQ(paths, (Paths{app + "/Fol.004", folder1_, app + "/Fol.002"}));
  EXPECT_EQ(messages.shown.size(), 1u);  // one overwrite question, for drawing 1
}

// An application without drawings shows every application instead, except to
// the write kind: there a number free only in another application would be
// handed back as free in this one.
TEST_F(EntryPointsTest, AnEmptyApplicationShowsEveryApplicationExceptToTheWriteKind) {
  {
    Answer<FileDlgBase> answer([](FileDlgBase& dialog) { ConfirmDrawings(dialog, {3}); });
    Paths paths;
    EXPECT_EQ(SelectFolderName(nullptr, *env_, kModeOpen, 0x4, paths, nullptr, nullptr, nullptr, 1),
              1);
    EXPECT_EQ(paths, Paths{folder3_});
  }
  {
    int rows = -1;
    Answer<FileDlgBase> answer([&](FileDlgBase& dialog) {
      rows = dialog.GetSheet()->GetRecCnt();
      ClickControl(dialog, IDCANCEL);
    });
    Paths paths;
    EXPECT_EQ(
        SelectFolderName(nullptr, *env_, kModeDelete, 0x4, paths, nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(rows, 2);
  }
  {
    MessageRecorder messages({IDOK});
    Answer<FileDlgBase> answer([](FileDlgBase& dialog) { ConfirmDrawings(dialog, {1}, 0x4); });
    Paths paths;
    EXPECT_EQ(
        SelectFolderName(nullptr, *env_, kModeWrite, 0x4, paths, nullptr, nullptr, nullptr, 1), 1);
    EXPECT_EQ(paths, Paths{GetSenyouPath(*env_, 0x4) + "/Fol.001"});
    EXPECT_TRUE(messages.shown.empty());  // a free number: no overwrite question
  }
}

TEST_F(EntryPointsTest, SecondFormReportsTheSwitchButtonAndCancelInTheOpenAndDeleteKinds) {
  for (const int mode : {kModeOpen, kModeDelete}) {
    for (const auto& [button, result] : {std::pair{int{kIdSwitch}, 255}, {IDCANCEL, 2}}) {
      SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(button));
      Answer<FileDlgBase> answer([button](FileDlgBase& dialog) { ClickControl(dialog, button); });
      Paths paths = {folder1_};
      EXPECT_EQ(
          SelectFolderName2(nullptr, *env_, mode, 0x1, paths, nullptr, nullptr, nullptr, 1, 0),
          result);
      EXPECT_TRUE(paths.empty());
    }
  }
}

// Confirming in the delete kind deletes the current drawing and keeps the
// dialog open; it closes itself after the last one, which the second form
// reports as a cancel.
TEST_F(EntryPointsTest, SecondFormsDeleteKindEndsAsCancelledWhenItsLastDrawingIsDeleted) {
  MessageRecorder messages({IDYES, IDOK, IDYES, IDOK});
  int confirms = 0;
  Answer<FileDlgBase> answer([&](FileDlgBase& dialog) {
    while (dialog.isVisible() && confirms < 3) {
      ++confirms;
      dialog.GetSheet()->setFocus();
      QTest::keyClick(dialog.GetSheet(), Qt::Key_Return);
    }
  });
  Paths paths = {folder1_};
  EXPECT_EQ(
      SelectFolderName2(nullptr, *env_, kModeDelete, 0x1, paths, nullptr, nullptr, nullptr, 1, 0),
      2);
  EXPECT_EQ(confirms, 2);
  EXPECT_TRUE(paths.empty());
  EXPECT_EQ(messages.shown.size(), 4u);  // a question and a report for each drawing
  VexaFolderList left(*env_);
  left.Load(0x1, 0);
  EXPECT_EQ(left.GetFolderNum(), 0);
}

TEST_F(EntryPointsTest, SecondFormsAlternateFlagTitlesTheDialogAndLetsALockedDrawingBeChosen) {
  HoldingChild holder(LockDrawing(*env_, folder1_));
  ASSERT_TRUE(holder.holding());
  for (const int altFlag : {0, 1}) {
    SCOPED_TRACE(altFlag);
    std::string title;
    MessageRecorder messages;
    Answer<FileDlgBase> answer([&](FileDlgBase& dialog) {
      title = dialog.windowTitle().toStdString();
      ConfirmDrawings(dialog, {1});
      if (dialog.isVisible()) ClickControl(dialog, IDCANCEL);  // refused: give up
    });
    Paths paths = {folder3_};
    const int result = SelectFolderName2(nullptr, *env_, kModeOpen, 0x1, paths, nullptr, nullptr,
                                         nullptr, 1, altFlag);
    EXPECT_EQ(title, altFlag ? "図面選択" : "編集する図面の選択");
    EXPECT_EQ(result, altFlag ? 1 : 2);
    EXPECT_EQ(paths, altFlag ? Paths{folder1_} : Paths{});
    EXPECT_EQ(messages.shown.size(), altFlag ? 0u : 1u);
  }
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
    Answer<FileDlgBase> answer(
        [&](FileDlgBase& dialog) { ConfirmDrawings(dialog, {c.number}, c.appId); });
    std::string path, command;
    EXPECT_EQ(SelectFolderName(nullptr, *env, c.appId, &path, &command), 1);
    EXPECT_EQ(path, c.folder + "/INDEX.VXF");
    EXPECT_EQ(command, c.expected + path);
  }

  // Cancel empties both outputs.
  std::string path = "p", command = "c";
  {
    Answer<FileDlgBase> cancel([](FileDlgBase& dialog) { ClickControl(dialog, IDCANCEL); });
    EXPECT_EQ(SelectFolderName(nullptr, *env_, 0x1, &path, &command), 0);
  }
  EXPECT_EQ(path + command, "");

  // The single-path form starts on the drawing its path names: OK returns it.
  Answer<FileDlgBase> confirm([](FileDlgBase& dialog) { ClickControl(dialog, IDOK); });
  path = folder3_ + "/INDEX.VXF";
  EXPECT_EQ(SelectFolderName(nullptr, *env_, 0, 0x1, &path), 1);
  EXPECT_EQ(path, folder3_);
}

}  // namespace
}  // namespace vexa::test
