// A drawing store in a temporary directory with a loaded folder list, for the
// grid, info panel and display item tests; settings go to the store's own
// user-data file.
#pragma once

#include <QImage>
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/ui/file_sel_sheet.h"

namespace vexa::test {

inline constexpr int kApp = 0x4;  // 用地, a coloured application

class GridFixture : public StoreFixture {
 public:
  GridFixture() : list_(std::make_unique<VexaFolderList>(env())) {}
  // The name width is shared by every grid of the process.
  ~GridFixture() { SetNameMax(kDefaultNameMax); }

  // Drawing number n of kApp, optionally with a first-page preview of the
  // given size.
  std::string Drawing(int number, const DrawingSpec& spec = {}, QSize preview = {}) {
    const std::string folder = WriteAppDrawing(kApp, number, spec);
    if (!preview.isEmpty()) WritePreview(folder, preview);
    return folder;
  }
  static void WritePreview(const std::string& folder, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.save(QString::fromStdString(folder + "/page000.bmp"), "BMP");
  }
  VexaFolderList& Load(int mask = kApp, int flags = VexaFolderList::kLoadNoLocks) {
    list_->Load(mask, flags);
    return *list_;
  }
  VexaFolderList& list() { return *list_; }

  std::string UserValue(const std::string& key) const {
    std::string value;
    env().GetUserDataStr("VEXA", "FILEDLG", key, value);
    return value;
  }
  void SetUserValue(const std::string& key, const std::string& value) const {
    env().SetUserDataStr("VEXA", "FILEDLG", key, value);
  }

 private:
  std::unique_ptr<VexaFolderList> list_;
};

// The default display items.
inline const std::vector<int> kDefaultItems = {0, 1, 2, 3, 7};

// Texts of item itemId's column for every record, top to bottom.
inline std::vector<std::string> ColumnTexts(FileSelSheet& sheet, int col) {
  std::vector<std::string> texts;
  for (int row = 0; row < sheet.GetRecCnt(); ++row) {
    texts.push_back(sheet.model()->index(row, col).data().toString().toStdString());
  }
  return texts;
}

}  // namespace vexa::test
