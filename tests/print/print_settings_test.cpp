// What the framework keeps and reads through the host: device settings and
// print conditions in the user settings, site information, form folders.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "vexafol/folder_environ.h"
#include "vexafol/print.h"

namespace vexa {
namespace {

FolderEnvironObj MakeEnv(const test::TempDir& dir) {
  FolderEnvironOptions options;
  options.userDataFile = dir / "user/userdata.ini";
  options.siteName = "第一現場";
  return FolderEnvironObj(dir.path(), options);
}

TEST(PrintSettings, DeviceSettingsRoundTripThroughTheUserSettings) {
  test::TempDir dir;
  const FolderEnvironObj env = MakeEnv(dir);
  CFormPrintData fresh;
  EXPECT_EQ(fresh.LoadPrintData(env, "VEXA帳票"), 0) << "nothing saved yet";
  EXPECT_EQ(fresh.copies, 1);

  CFormPrintData saved;
  saved.printerName = "事務所 プリンタ";
  saved.paperName = "A3";
  saved.orientation = 2;
  saved.copies = 3;
  saved.marginLeft = 12.5;
  saved.marginTop = 0;
  saved.marginRight = 0.1;  // no exact binary form: must still read back equal
  ASSERT_EQ(saved.SavePrintData(env, "VEXA帳票"), 1);

  CFormPrintData loaded;
  ASSERT_EQ(loaded.LoadPrintData(env, "VEXA帳票"), 1);
  EXPECT_EQ(loaded.printerName, saved.printerName);
  EXPECT_EQ(loaded.paperName, "A3");
  EXPECT_EQ(loaded.orientation, 2);
  EXPECT_EQ(loaded.copies, 3);
  EXPECT_EQ(loaded.marginLeft, 12.5);
  EXPECT_EQ(loaded.marginTop, 0);
  EXPECT_EQ(loaded.marginRight, 0.1);
  EXPECT_EQ(loaded.marginBottom, -1);
  EXPECT_EQ(CFormPrintData().LoadPrintData(env, "OTHER"), 0) << "settings are per name";

  // Hand-edited nonsense keeps the values it would replace.
  for (const auto& [key, value] : {std::pair{"COPIES", "0"},
                                   {"ORIENTATION", "x"},
                                   {"MARGIN_LEFT", "1e9"},
                                   {"MARGIN_TOP", "nan"}}) {
    ASSERT_EQ(env.SetUserDataStr("VEXA帳票", "DEVICE", key, value), 1);
  }
  CFormPrintData kept = saved;
  EXPECT_EQ(kept.LoadPrintData(env, "VEXA帳票"), 1);
  EXPECT_EQ(kept.copies, 3);
  EXPECT_EQ(kept.orientation, 2);
  EXPECT_EQ(kept.marginLeft, 12.5);
  EXPECT_EQ(kept.marginTop, 0);
}

TEST(PrintSettings, PrintConditionsAreAddedLoadedAndMadeUsable) {
  test::TempDir dir;
  const FolderEnvironObj env = MakeEnv(dir);
  CJknSet jkn;
  jkn.InitJkn();
  AddJknPrint(jkn);
  jkn.SetJkn("title", "工事 図面一覧");  // names without regard to case
  jkn.SetJkn(kJknPrintDate, "no");
  jkn.SetJkn(kJknPrintSite, "0");
  {
    CJknMan man(env, "VEXA帳票");
    ASSERT_EQ(man.SaveJkn(jkn), 1);
  }
  CJknSet again;
  AddJknPrint(again);
  const CJknMan reopened(env, "VEXA帳票");
  EXPECT_EQ(reopened.LoadJkn(again), 3);
  EXPECT_EQ(ModifyJknPrint(again), 1);
  EXPECT_EQ(again.GetTitle(), "工事 図面一覧");
  EXPECT_TRUE(again.IsPrintDate()) << "only \"0\" turns a flag off";
  EXPECT_FALSE(again.IsPrintSite());

  CJknSet typed;
  typed.SetJkn(kJknTitle, " 一行目\r\n二行目 ");
  ModifyJknPrint(typed);
  EXPECT_EQ(typed.GetTitle(), "一行目二行目");
  EXPECT_TRUE(typed.IsPrintSite()) << "missing conditions get their defaults";

  CJknMan memoryOnly;
  CJknSet empty;
  AddJknPrint(empty);
  EXPECT_EQ(memoryOnly.LoadJkn(empty), 0);
  memoryOnly.SaveJkn(jkn);
  EXPECT_EQ(memoryOnly.LoadJkn(empty), 3);
}

TEST(PrintSettings, SiteInformationAndPageTextsFollowTheConditions) {
  test::TempDir dir;
  const FolderEnvironObj env = MakeEnv(dir);
  CPrintGenbaInfo info(env);
  EXPECT_EQ(info.LoadInfo(), 1);
  EXPECT_EQ(info.GetSiteName(), "第一現場");
  const CPrintPageDataGenba pageData(info);
  CJknSet jkn;
  AddJknPrint(jkn);
  const SYSTEMTIME today{2026, 12, 0, 6, 0, 0, 0, 0};
  PrintPageTexts texts = pageData.GetPageTexts(jkn, today);
  EXPECT_EQ(texts.siteName, "第一現場");
  EXPECT_EQ(texts.printDate, "2026/12/06");
  jkn.SetJkn(kJknPrintDate, "0");
  jkn.SetJkn(kJknPrintSite, "0");
  jkn.SetJkn(kJknTitle, "一覧");
  texts = pageData.GetPageTexts(jkn, today);
  EXPECT_EQ(texts.siteName, "");
  EXPECT_EQ(texts.printDate, "");
  EXPECT_EQ(texts.title, "一覧");

  const test::TestEnviron noSite;
  CPrintGenbaInfo none(noSite);
  EXPECT_EQ(none.LoadInfo(), 0);
}

TEST(PrintSettings, FormsAreFoundInTheFirstFolderThatHoldsThem) {
  test::TempDir dir;
  const FolderEnvironObj env = MakeEnv(dir);
  test::WriteFileBytes(dir / "b/LIST.FMT", "b");
  test::WriteFileBytes(dir / "c/LIST.FMT", "c");
  test::WriteFileBytes(dir / "a/LIST.FMT/inner", "a folder of the name is no form");
  CFormPathList list;
  for (const char* folder : {"a", "b", "c"}) list.AddPath(dir / folder);
  EXPECT_EQ(list.GetPath(3), "");
  EXPECT_EQ(list.FindForm(env, "LIST.FMT"), dir / "b/LIST.FMT");
  EXPECT_EQ(list.FindForm(env, "NONE.FMT"), "");
}

}  // namespace
}  // namespace vexa
