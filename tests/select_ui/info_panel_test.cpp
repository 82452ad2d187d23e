// The info panel and its preview: fields of the current drawing, previews
// loaded lazily for the current record only, background colours, and the
// centred bitmap drawing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>

#include "tests/select_ui/grid_fixture.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/image_frame.h"

namespace vexa::test {
namespace {

class InfoPanel : public testing::Test, public GridFixture {
 protected:
  struct Screen {
    QWidget window;
    FileSelSheet* sheet;
    FileInfoDlg* panel;
  };
  // A grid and its panel side by side, as the selection dialog places them.
  std::unique_ptr<Screen> Open(VexaFolderList& list) {
    auto screen = std::make_unique<Screen>();
    screen->sheet = new FileSelSheet(FindCriteria{}, &screen->window);
    screen->panel = new FileInfoDlg(&list, &screen->window);
    EXPECT_TRUE(screen->panel->Create(29016, &screen->window));
    screen->window.resize(900, 560);
    screen->sheet->setGeometry(0, 0, 900 - screen->panel->width() - 10, 560);
    screen->panel->move(900 - screen->panel->width(), 0);
    screen->window.show();
    screen->sheet->Init(&list, screen->panel, kDefaultItems.data(), 5, 0);
    return screen;
  }
  static QString Field(const FileInfoDlg& panel, int id) {
    return panel.Item<QLineEdit>(id)->text();
  }
};

TEST_F(InfoPanel, ShowsTheCurrentDrawingAndEmptiesWithoutOne) {
  DrawingSpec spec;
  spec.title = "計画平面図";
  spec.memo = "一行目\r\n二行目";
  spec.pages = 3;
  spec.created = 1700000000;  // 2023-11-15 07:13:20 in Tokyo
  Drawing(12, spec);
  auto screen = Open(Load());
  const FileInfoDlg& panel = *screen->panel;
  EXPECT_EQ(Field(panel, 29023), "12");
  EXPECT_EQ(Field(panel, 29024), "計画平面図");
  EXPECT_EQ(Field(panel, 29025), "3");
  EXPECT_EQ(Field(panel, 29026), "用地");
  EXPECT_EQ(Field(panel, 29027), "山田");
  EXPECT_EQ(Field(panel, 29028), "田中");
  const QString created = Field(panel, 29029);
  EXPECT_TRUE(created.contains("2023") && created.contains("  ") && created.contains("7:13"))
      << created.toStdString();
  EXPECT_EQ(panel.Item<QPlainTextEdit>(29031)->toPlainText(), "一行目\n二行目");
  EXPECT_EQ(panel.GetImageFrame()->GetAppId(), kApp);
  EXPECT_EQ(panel.GetImageFrame()->geometry(), panel.GetDlgItem(29022)->geometry());

  screen->panel->SetMember(nullptr);
  screen->panel->Refresh();
  for (int id = 29023; id <= 29030; ++id) EXPECT_TRUE(Field(panel, id).isEmpty()) << id;
  EXPECT_TRUE(panel.Item<QPlainTextEdit>(29031)->toPlainText().isEmpty());
}

TEST_F(InfoPanel, PreviewsLoadOnlyForTheRecordsTheCursorVisits) {
  for (int n = 1; n <= 20; ++n) Drawing(n, {}, QSize(40, 30));
  auto screen = Open(Load());
  FileSelSheet& sheet = *screen->sheet;
  EXPECT_EQ(sheet.CachedPreviewCount(), 1);  // painting 20 records read no file
  EXPECT_EQ(screen->panel->GetImageFrame()->GetBitmap().size(), QSize(40, 30));

  sheet.setFocus();
  QTest::keyClick(&sheet, Qt::Key_Down);
  EXPECT_EQ(sheet.CachedPreviewCount(), 2);
  QTest::keyClick(&sheet, Qt::Key_Up);
  EXPECT_EQ(sheet.CachedPreviewCount(), 2);  // cached, not loaded again
}

TEST_F(InfoPanel, AMissingPreviewIsRetriedAndReloadingDropsTheCache) {
  const std::string folder = Drawing(1);
  auto screen = Open(Load());
  FileSelSheet& sheet = *screen->sheet;
  EXPECT_TRUE(sheet.GetPreview(0).isNull());
  EXPECT_TRUE(screen->panel->GetImageFrame()->GetBitmap().isNull());
  WritePreview(folder, QSize(10, 10));
  EXPECT_EQ(sheet.GetPreview(0).size(), QSize(10, 10));

  list().Reload();
  sheet.AttachList(&list());
  EXPECT_EQ(sheet.CachedPreviewCount(), 0);
  EXPECT_EQ(screen->panel->GetMember(), nullptr);  // the old records are gone
  sheet.ClearSearch();
  EXPECT_EQ(screen->panel->GetMember(), list().GetSortedFolderMember(0));
}

TEST_F(InfoPanel, BackgroundFollowsTheApplication) {
  ImageFrame frame;
  EXPECT_EQ(frame.BackgroundColor(), 0x808080UL);  // no drawing
  frame.SetAppId(kApp);
  EXPECT_EQ(frame.BackgroundColor(), 0xE0FFE0UL);
  frame.SetAppId(0x4000);  // not in the application table
  EXPECT_EQ(frame.BackgroundColor(), 0xFFFFFFUL);

  frame.resize(60, 40);
  frame.SetAppId(0);
  QImage shot = frame.grab().toImage();
  EXPECT_EQ(shot.pixelColor(30, 20), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(shot.pixelColor(0, 20), QColor(Qt::black));  // the 2-pixel frame
}

TEST(CenteredBitmap, TallPicturesAreCutEquallyNeverScaled) {
  // 200 x 150 into 180 x 120: 30 rows too many, 15 cut at the top.
  CenteredPlacement place = PlaceCentered(200, 150, QRect(100, 50, 180, 120));
  EXPECT_EQ(place.x, 90);
  EXPECT_EQ(place.y, 50);
  EXPECT_EQ(place.sy, 15);
  EXPECT_EQ(place.dh, 120);

  // An odd excess of 31 is rounded up to 32.
  place = PlaceCentered(50, 151, QRect(0, 0, 100, 120));
  EXPECT_EQ(place.sy, 16);
  EXPECT_EQ(place.dh, 119);
  EXPECT_EQ(place.x, 25);

  place = PlaceCentered(20, 20, QRect(0, 0, 101, 51));
  EXPECT_EQ(place.x, 40);
  EXPECT_EQ(place.y, 15);
  EXPECT_EQ(place.sy, 0);
  EXPECT_EQ(place.dh, 20);
}

TEST(CenteredBitmap, DrawsTheMiddleRowsInsideABlackFrame) {
  // Three bands: red rows 0-9, green 10-29, blue 30-39; the target is 20 high.
  QImage bitmap(30, 40, QImage::Format_RGB32);
  bitmap.fill(Qt::green);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 30; ++x) bitmap.setPixelColor(x, y, Qt::red);
  for (int y = 30; y < 40; ++y)
    for (int x = 0; x < 30; ++x) bitmap.setPixelColor(x, y, Qt::blue);
  QImage target(60, 20, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    QPainter painter(&target);
    DrawCenteredBitmap(painter, bitmap, target.rect());
    DrawCenteredBitmap(painter, QImage(), target.rect());  // draws nothing
  }
  EXPECT_EQ(target.pixelColor(30, 10), QColor(Qt::green));  // source rows 10 to 29 only
  EXPECT_EQ(target.pixelColor(15, 10), QColor(Qt::black));  // the frame's left edge
  EXPECT_EQ(target.pixelColor(5, 10), QColor(Qt::white));   // outside the picture
  for (int y = 0; y < 20; ++y) {
    EXPECT_NE(target.pixelColor(30, y), QColor(Qt::red)) << y;
    EXPECT_NE(target.pixelColor(30, y), QColor(Qt::blue)) << y;
  }
}

}  // namespace
}  // namespace vexa::test
