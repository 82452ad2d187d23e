// The file-open dialog behind CEnvironObj::SelectOpenFile, answered by a timer.
#include "vexafol/ui/open_file_dialog.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "tests/support/temp_dir.h"
#include "tests/support/test_environ.h"
#include "tests/support/when_shown.h"
#include "vexafol/hooks.h"

namespace vexa {
namespace {

using test::Answer;

TEST(OpenFileDialogTest, FilterPairsBecomeNameFilters) {
  const struct {
    const char* filter;
    QStringList expected;
  } cases[] = {
      {"ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT", {"ﾕｰｻﾞｰ帳票 (*.FMT)", "標準帳票 (*.@MT)"}},
      {"CADﾌｧｲﾙﾌｫﾙﾀﾞｰ|FOL.0?"
       "?",
       {"CADﾌｧｲﾙﾌｫﾙﾀﾞｰ (FOL.0?"
        "?)"}},
      {"帳票|.FMT;.@MT|末尾だけ", {"帳票 (*.FMT *.@MT)"}},
      {"", {"*"}},
      {"説明だけ", {"*"}},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenFileNameFilters(c.filter), c.expected) << c.filter;
}

// The names the dialog lists in its folder, once the folder was read.
std::set<QString> ListedNames(QFileDialog& dialog) {
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  std::set<QString> names;
  if (!view) return names;
  (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5000);
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
    names.insert(view->model()->index(row, 0, view->rootIndex()).data().toString());
  return names;
}

TEST(OpenFileDialogTest, EnvironmentShowsTheDialogOverTheFolderAndAnswersTheChosenName) {
  test::TempDir dir;
  for (const char* name : {"a.FMT", "b.fmt", "c.@MT", "d.txt"})
    test::WriteFileBytes(dir / name, "[Form]\n");
  test::TestEnviron env;

  std::set<QString> listed;
  QString title;
  Answer<QFileDialog> choose([&](QFileDialog& dialog) {
    title = dialog.windowTitle();
    listed = ListedNames(dialog);
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("b.fmt"));
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  EXPECT_EQ(
      env.SelectOpenFile(nullptr, dir.path(), "ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT", "", "図面一覧リスト"),
      "b.fmt");
  EXPECT_EQ(title, QStringLiteral("図面一覧リスト"));
  // The first filter (user forms) matches both cases of the extension.
  EXPECT_EQ(listed, (std::set<QString>{QStringLiteral("a.FMT"), QStringLiteral("b.fmt")}));

  // A form outside a folder that is reached through a link: the answer added
  // to the folder still names the chosen file.
  ::mkdir((dir / "real").c_str(), 0755);
  ::mkdir((dir / "real/forms").c_str(), 0755);
  test::WriteFileBytes(dir / "real/other.FMT", "outside");
  ASSERT_EQ(::symlink((dir / "real/forms").c_str(), (dir / "link").c_str()), 0);
  Answer<QFileDialog> outside([&](QFileDialog& dialog) {
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QString::fromStdString(dir / "real/other.FMT"));
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  std::string path = dir / "link";
  env.AddFileName(path, env.SelectOpenFile(nullptr, path, "帳票|.FMT", "", "t"));
  EXPECT_EQ(test::ReadFileBytes(path), "outside") << path;

  Answer<QFileDialog> cancel([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(env.SelectOpenFile(nullptr, dir.path(), "ﾕｰｻﾞｰ帳票|.FMT", "", "t"), "");
  EXPECT_TRUE(cancel.seen());

  // Without the hook the core has no dialog.
  const SelectOpenFileHook installed = SetSelectOpenFileHook(nullptr);
  EXPECT_EQ(installed, &SelectOpenFileDialog);
  EXPECT_EQ(env.SelectOpenFile(nullptr, dir.path(), "x|.FMT", "", "t"), "");
  SetSelectOpenFileHook(installed);
}

TEST(OpenFileDialogTest, OpensOnAFilterThatShowsFilesAndRemembersTheLastChoice) {
  test::TempDir dir;
  ::mkdir((dir / "forms").c_str(), 0755);
  ::mkdir((dir / "forms/mine").c_str(), 0755);
  test::WriteFileBytes(dir / "forms/standard.@mt", "[Form]\n");
  test::WriteFileBytes(dir / "forms/mine/own.FMT", "[Form]\n");
  test::WriteFileBytes(dir / "forms/mine/other.@MT", "[Form]\n");
  const std::string filter = "ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT";
  test::TestEnviron env;

  // No user form in the folder: the standard forms are shown, not an empty list.
  QString opened;
  QString folder;
  std::set<QString> listed;
  Answer<QFileDialog> first([&](QFileDialog& dialog) {
    opened = dialog.selectedNameFilter();
    listed = ListedNames(dialog);
    // The user goes into a sub-folder and takes a user form there.
    dialog.setDirectory(QString::fromStdString(dir / "forms/mine"));
    dialog.selectNameFilter(QStringLiteral("ﾕｰｻﾞｰ帳票 (*.FMT)"));
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QStringLiteral("own.FMT"));
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  EXPECT_EQ(env.SelectOpenFile(nullptr, dir / "forms", filter, "", "t"), "mine/own.FMT");
  EXPECT_EQ(opened, QStringLiteral("標準帳票 (*.@MT)"));
  EXPECT_EQ(listed, (std::set<QString>{QStringLiteral("mine"), QStringLiteral("standard.@mt")}));

  // The next dialog over the same folder and filter opens where the user was.
  Answer<QFileDialog> second([&](QFileDialog& dialog) {
    opened = dialog.selectedNameFilter();
    folder = dialog.directory().absolutePath();
    dialog.reject();
  });
  EXPECT_EQ(env.SelectOpenFile(nullptr, dir / "forms", filter, "", "t"), "");
  EXPECT_EQ(opened, QStringLiteral("ﾕｰｻﾞｰ帳票 (*.FMT)"));
  EXPECT_EQ(folder, QString::fromStdString(dir / "forms/mine"));

  // Another folder starts afresh; an extension the host asks for wins.
  Answer<QFileDialog> third([&](QFileDialog& dialog) {
    opened = dialog.selectedNameFilter();
    folder = dialog.directory().absolutePath();
    dialog.reject();
  });
  env.SelectOpenFile(nullptr, dir / "forms/mine", filter, ".@MT", "t");
  EXPECT_EQ(opened, QStringLiteral("標準帳票 (*.@MT)"));
  EXPECT_EQ(folder, QString::fromStdString(dir / "forms/mine"));
}

}  // namespace
}  // namespace vexa
