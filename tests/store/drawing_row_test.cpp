// The texts of a drawing's row, shared by the selection grid and `vexafol list`.
#include "vexafol/drawing_row.h"

#include <gtest/gtest.h>

#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

FolMember Drawing(const CEnvironObj& env, const std::string& relative) {
  FolMember member;
  member.path = GetSenyouPath(env, 0x1) + "/" + relative;
  member.appId = 0x1;
  return member;
}

TEST(DrawingRowTest, NumberColumnMarksTheBackupsOfADrawing) {
  const FolderEnvironObj env("/store");
  const struct {
    const char* folder;
    const char* number;
  } cases[] = {
      {"Fol.012", "12"},
      {"Fol.012/BKUP", "※12"},        // the automatic backup of drawing 12
      {"Fol.012/bkup", "※12"},        // names compare without case
      {"Fol.012/BKUP.003", "履歴3"},  // numbered backup 3
      {"Fol.7", "7"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DrawingColumnText(env, Drawing(env, c.folder), kColumnNumber), c.number) << c.folder;
}

TEST(DrawingRowTest, OtherColumnsShowTheHeaderOnOneLine) {
  const FolderEnvironObj env("/store");
  FolMember member = Drawing(env, "Fol.001");
  member.header.SetTitle("平面図 第1工区");
  member.header.SetCreator("山田太郎");
  member.header.SetUpdater("佐藤花子");
  member.header.SetMemo("一行目\r\n二行目\r三\n四");
  member.header.pageCount = 3;
  member.header.createTime = UnixToFileTime(1680480000);  // 2023-04-03 09:00 in Tokyo
  member.header.updateTime = {0xFFFFFFFF, 0xFFFFFFFF};    // beyond any valid date

  EXPECT_EQ(DrawingColumnText(env, member, kColumnTitle), "平面図 第1工区");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnApplication), GetSenyouTitle(env, 0x1, 0));
  EXPECT_EQ(DrawingColumnText(env, member, kColumnPages), "3");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnCreator), "山田太郎");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnUpdater), "佐藤花子");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnCreated), "2023/04/03");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnUpdated), "");
  EXPECT_EQ(DrawingColumnText(env, member, kColumnMemo), "一行目 二行目 三 四");
  EXPECT_EQ(DrawingColumnText(env, member, kDrawingColumnCount), "");
  EXPECT_EQ(DrawingColumnText(env, member, -1), "");
}

}  // namespace
}  // namespace vexa
