// The info panel and its preview: fields of the current drawing, previews
// loaded lazily for the current record only, and where the bitmap is placed.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <sys/stat.h>

#include "select/ui/file_info_dlg_ids.h"
#include "tests/select/ui/grid_fixture.h"
#include "tests/support/fault_env.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/image_frame.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa::test {
namespace {

class InfoPanel : public testing::Test, public GridFixture {
 protected:
  // A grid and its panel side by side, as the selection dialog places them.
  void Open() {
    sheet = new FileSelSheet(FindCriteria{}, &window);
    panel = new FileInfoDlg(&list(), &window);
    ASSERT_TRUE(panel->Create(kTemplateInfoPanel, &window));
    window.resize(900, 560);
    sheet->setGeometry(0, 0, 900 - panel->width() - 10, 560);
    panel->move(900 - panel->width(), 0);
    window.show();
    sheet->Init(&list(), panel, kDefaultItems.data(), 5, 0);
  }
  QString Field(int id) const { return panel->Item<QLineEdit>(id)->text(); }

  QWidget window;
  FileSelSheet* sheet = nullptr;
  FileInfoDlg* panel = nullptr;
};

TEST_F(InfoPanel, ShowsTheCurrentDrawingAndEmptiesWithoutOne) {
  DrawingSpec spec;
  spec.title = "計画平面図";
  spec.memo = "一行目\r\n二行目";
  spec.pages = 3;
  spec.created = 1700000000;  // 2023-11-15 07:13:20 in Tokyo
  Drawing(12, spec);
  Load();
  Open();
  const std::vector<QString> fields = {Field(kIdInfoNumber), Field(kIdInfoName),
                                       Field(kIdInfoPages), Field(kIdInfoApp)};
  EXPECT_EQ(fields, (std::vector<QString>{"12", "計画平面図", "3", "用地"}));
  EXPECT_TRUE(Field(kIdInfoCreated).contains("2023") && Field(kIdInfoCreated).contains("7:13"));
  EXPECT_EQ(panel->Item<QPlainTextEdit>(kIdInfoMemo)->toPlainText(), "一行目\n二行目");

  panel->SetMember(nullptr);
  panel->Refresh();
  EXPECT_TRUE(Field(kIdInfoName).isEmpty() && Field(kIdInfoCreated).isEmpty());
  EXPECT_TRUE(panel->Item<QPlainTextEdit>(kIdInfoMemo)->toPlainText().isEmpty());
}

TEST_F(InfoPanel, PreviewsLoadOnlyForTheRecordsTheCursorVisits) {
  for (int n = 1; n <= 20; ++n) Drawing(n, {}, QSize(40, 30));
  Load();
  Open();
  EXPECT_EQ(sheet->CachedPreviewCount(), 1);  // painting 20 records read no file
  EXPECT_EQ(panel->GetImageFrame()->GetBitmap().size(), QSize(40, 30));
  sheet->setFocus();
  QTest::keyClick(sheet, Qt::Key_Down);
  EXPECT_EQ(sheet->CachedPreviewCount(), 2);
  QTest::keyClick(sheet, Qt::Key_Up);
  EXPECT_EQ(sheet->CachedPreviewCount(), 2);  // cached, not loaded again
}

TEST_F(InfoPanel, AMissingPreviewIsRetriedAndReloadingDropsTheCache) {
  const std::string folder = Drawing(1);
  Load();
  Open();
  EXPECT_TRUE(sheet->GetPreview(0).isNull());
  WritePreview(folder, QSize(10, 10));
  EXPECT_EQ(sheet->GetPreview(0).size(), QSize(10, 10));

  list().Reload();
  sheet->AttachList(&list());
  EXPECT_EQ(sheet->CachedPreviewCount(), 0);
  EXPECT_EQ(panel->GetMember(), nullptr);  // the old records are gone
  sheet->ClearSearch();
  EXPECT_EQ(panel->GetMember(), list().GetSortedFolderMember(0));
}

TEST_F(InfoPanel, PreviewsAreFoundInAnyCaseAndReadThroughThePlatform) {
  const std::string copied = Drawing(1);
  QImage image(QSize(12, 8), QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(copied + "/PAGE000.BMP"), "BMP"));
  const std::string folder = Drawing(2);
  ASSERT_EQ(mkdir((folder + "/page000.bmp").c_str(), 0700), 0);
  const std::string fifo = Drawing(4);
  ASSERT_EQ(mkfifo((fifo + "/page000.bmp").c_str(), 0600), 0);
  DrawingSpec newest;
  newest.updated = 1800000000;
  Drawing(3, newest);  // the first record: no preview is read before the faults
  Load();
  Open();
  const int copiedKey = sheet->GetRowKey(sheet->FindRecord(0, kApp));
  const int folderKey = sheet->GetRowKey(sheet->FindRecord(1, kApp));
  const int fifoKey = sheet->GetRowKey(sheet->FindRecord(3, kApp));
  {
    platform::FaultEnv faults;
    faults.Fail(platform::Op::Read, EIO);
    platform::ScopedEnv scoped(faults);
    EXPECT_TRUE(sheet->GetPreview(copiedKey).isNull());
    EXPECT_GT(faults.Calls(platform::Op::Read), 0);
  }
  EXPECT_EQ(sheet->GetPreview(copiedKey).size(), QSize(12, 8));  // tried again
  EXPECT_TRUE(sheet->GetPreview(folderKey).isNull());            // not a file
  EXPECT_TRUE(sheet->GetPreview(fifoKey).isNull());  // a FIFO is refused, never waited on
}

TEST(ImageFrameTest, TallPicturesAreCutEquallyNeverScaled) {
  // 200 x 150 into 180 x 120: 30 rows too many, 15 cut at the top; an odd
  // excess of 31 is rounded up to 32.
  CenteredPlacement place = PlaceCentered(200, 150, QRect(100, 50, 180, 120));
  EXPECT_EQ(std::vector<int>({place.x, place.y, place.sy, place.dh}),
            std::vector<int>({90, 50, 15, 120}));
  place = PlaceCentered(50, 151, QRect(0, 0, 100, 120));
  EXPECT_EQ(std::vector<int>({place.x, place.sy, place.dh}), std::vector<int>({25, 16, 119}));
}

}  // namespace
}  // namespace vexa::test
