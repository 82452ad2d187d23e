// The info panel beside the drawing grid (template 29016): the first page
// preview of the current drawing in an ImageFrame, and read-only fields with
// its number, name, page count, application, creator, updater, creation and
// update time and memo. It follows the grid: the grid it is handed to
// (FileSelSheet::Init) connects its current-drawing signal to ShowDrawing and
// its lock-state signal to Refresh.
#pragma once

#include <QImage>
#include <QLabel>

#include "vexafol/export.h"
#include "vexafol/ui/dialog_base.h"

namespace vexa {

struct FolMember;
class ImageFrame;
class VexaFolderList;

class VEXA_UI_API FileInfoDlg : public DialogBase {
  Q_OBJECT

 public:
  // The panel over list (not owned; its environment names numbers and
  // titles). No member and no bitmap yet. The controls are built here; the
  // image frame is made by the initialisation.
  explicit FileInfoDlg(const VexaFolderList* list, QWidget* parent = nullptr);
  ~FileInfoDlg() override;

  using DialogBase::Create;
  // Creates the panel as a child window of parent (template 29016 only):
  // initialises it and shows it. False for another template id.
  bool Create(int templateId, QWidget* parent);

  // The drawing shown (not owned; null for none) and its preview.
  void SetMember(const FolMember* member) { member_ = member; }
  const FolMember* GetMember() const { return member_; }
  void SetBitmap(const QImage& bitmap) { bitmap_ = bitmap; }
  const QImage& GetBitmap() const { return bitmap_; }
  // Fills the nine fields from the member (all empty without one) and
  // repaints the panel.
  void Refresh();
  // Shows member (null: none) with its preview: the fields, and the preview
  // drawn on the colour of the member's application (grey without one).
  void ShowDrawing(const vexa::FolMember* member, const QImage& preview);
  // The preview window; null before the initialisation.
  ImageFrame* GetImageFrame() const { return imageFrame_; }

 protected:
  // Makes the image frame on the rectangle of the placeholder 29022.
  bool OnInitDialog() override;
  // Return and Escape go on to the selection dialog around the panel.
  void keyPressEvent(QKeyEvent* event) override;
  // A field that loses the focus shows its text from the start.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Widens the fields, and the panel with them, until the widest date and
  // time of the locale in use fits the date fields.
  void WidenFieldsForDates();

  const VexaFolderList* list_;
  ImageFrame* imageFrame_ = nullptr;
  const FolMember* member_ = nullptr;
  // Who has the drawing in use, over the top of the preview; hidden while free.
  QLabel* holderLabel_ = nullptr;
  void ShowHolder();
  QImage bitmap_;
};

}  // namespace vexa
