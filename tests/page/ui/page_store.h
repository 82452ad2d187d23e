// A drawing of the general application with page files written as chosen:
// tagged (version 100) or fixed layouts (versions 1 and 4), padded to a size,
// a folder in the page file's place, and previews of chosen sizes; and the
// page dialog driven as a user drives it.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <cstring>
#include <string>
#include <vector>

#include "page/ui/page_dlg.h"
#include "page/ui/page_sheet.h"
#include "tests/support/store_fixture.h"
#include "tests/support/when_shown.h"
#include "vexafol/file.h"
#include "vexafol/folderlock.h"

namespace vexa::test {

struct PageSpec {
  int version = 100;  // 100 tagged; 1 or 4 fixed
  std::string name = "平面図";
  std::string caption;
  uint64_t size = 0;        // padded to this length when larger than the record
  QSize preview{0, 0};      // no preview file when empty
  bool unopenable = false;  // a folder named like the page file
};

// The page information record as the fixed layout of version 1 or 4 holds it.
inline std::string FixedRecord(const PageSpec& spec) {
  VexaFilePageInfo info;
  info.SetName(spec.name);
  info.SetCaption(spec.caption);
  std::string bytes(spec.version == 1 ? 164 : 712, '\0');
  const int32_t version = spec.version;
  std::memcpy(bytes.data(), &version, 4);
  if (spec.version == 1) {
    std::memcpy(bytes.data() + 4, info.name, 127);
  } else {
    std::memcpy(bytes.data() + 4, info.name, 260);
    std::memcpy(bytes.data() + 632, info.caption.data(), std::min<size_t>(info.caption.size(), 79));
  }
  return bytes;
}

inline void WritePage(const CEnvironObj& env, const FolMember& drawing, int page,
                      const PageSpec& spec) {
  const std::string path = drawing.GetPageFile(env, 0, page);
  if (spec.unopenable) {
    env.CreateDir(path, 0);
  } else if (spec.version == 100) {
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::CreateTruncate));
    VexaFilePageInfo info;
    info.SetName(spec.name);
    info.SetCaption(spec.caption);
    ASSERT_TRUE(WritePageFileInfo(file, info));
    if (spec.size > file.GetLength()) {
      ASSERT_TRUE(file.SetLength(spec.size));
    }
  } else {
    std::string bytes = FixedRecord(spec);
    if (spec.size > bytes.size()) bytes.resize(spec.size, '\0');
    WriteFileBytes(path, bytes);
  }
  if (!spec.preview.isEmpty()) {
    QImage picture(spec.preview, QImage::Format_RGB32);
    picture.fill(QColor(0xE0, 0x20, 0x20));
    ASSERT_TRUE(picture.save(QString::fromStdString(drawing.GetPageBmpFile(env, 0, page)), "BMP"));
  }
}

// Drawing 1 of the general application, with one page file for each PageSpec given.
class PageStore : public StoreFixture {
 public:
  FolMember Write(const std::vector<PageSpec>& pages, int number = 1) {
    DrawingSpec spec;
    spec.pages = static_cast<int32_t>(pages.size());
    FolMember drawing;
    drawing.path = WriteAppDrawing(0x1, number, spec);
    drawing.header = MakeHeader(spec);
    drawing.appId = 0x1;
    for (size_t i = 0; i < pages.size(); ++i)
      WritePage(env(), drawing, static_cast<int>(i), pages[i]);
    return drawing;
  }
};

// Clicks page cell (row, col) of the page sheet, as the mouse selects it;
// double clicks it to activate it.
inline void ClickPage(PageDlg& dialog, int row, int col, bool activate = false) {
  PageSheet& sheet = *dialog.GetPageSheet();
  const QPoint centre = sheet.CellRect(row, col).center();
  QTest::mouseClick(sheet.viewport(), Qt::LeftButton, {}, centre);
  if (activate) QTest::mouseDClick(sheet.viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace vexa::test
