#include "vexafol/ui/file_info_dlg.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>

#include <algorithm>
#include <string>

#include "select/ui/file_info_dlg_ids.h"
#include "vexafol/folderlist.h"
#include "vexafol/senyou.h"
#include "vexafol/ui/image_frame.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa {
namespace {

// A label and its one-line field (dialog units; the name label sits two
// units below its field).
struct FieldRow {
  const char* label;
  int labelY;
  int labelWidth;
  int fieldY;
};

constexpr FieldRow kFields[] = {
    {"図面No：", 104, 26, 104}, {"図面名：", 122, 26, 120}, {"ﾍﾟｰｼﾞ数：", 136, 26, 136},
    {"CAD：", 152, 26, 152},    {"作成者：", 168, 25, 168}, {"変更者：", 184, 25, 184},
    {"作成日：", 200, 25, 200}, {"変更日：", 216, 25, 216},
};

// Date, two spaces, time, in local time.
std::string DateTimeText(const SYSTEMTIME& time) {
  return FolMember::GetDateString(time) + "  " + FolMember::GetTimeString(time);
}

// Width in pixels of the widest date-and-time text of the locale in use:
// two-digit month, day and hour, before and after noon.
int WidestDateTimeText(const QFontMetrics& metrics) {
  int widest = 0;
  for (uint16_t hour : {10, 11, 22, 23}) {
    SYSTEMTIME sample{};
    sample.wYear = 2000;
    sample.wMonth = 12;
    sample.wDay = 28;
    sample.wHour = hour;
    sample.wMinute = 58;
    sample.wSecond = 58;
    widest =
        std::max(widest, metrics.horizontalAdvance(QString::fromStdString(DateTimeText(sample))));
  }
  return widest;
}

// Qt's line edit keeps 2 pixels free on each side of its text, plus a pixel
// for the cursor.
constexpr int kLineEditTextPadding = 2 * 2 + 1;

// Memo lines are stored with "\r\n".
QString MemoText(const std::string& memo) {
  QString text = QString::fromStdString(memo);
  text.replace("\r\n", "\n");
  return text;
}

}  // namespace

FileInfoDlg::FileInfoDlg(const VexaFolderList* list, QWidget* parent)
    : DialogBase(kTemplateInfoPanel, parent), list_(list) {
  // A child window without a caption, embedded in the selection dialog.
  setWindowFlags(Qt::Widget);
  SetTemplateSize(110, 322);
  auto* placeholder = Place(new QFrame, kIdPreviewFrame, 3, 4, 103, 91);
  placeholder->setFrameShape(QFrame::NoFrame);
  for (int i = 0; i < 8; ++i) {
    AddLabel(-1, kFields[i].label, 6, kFields[i].labelY, kFields[i].labelWidth, 10);
    auto* field = Place(new QLineEdit, kIdInfoNumber + i, 34, kFields[i].fieldY, 72, 12);
    field->setReadOnly(true);
    field->installEventFilter(this);
  }
  AddLabel(-1, "メモ：", 6, 232, 16, 10);
  auto* memo = Place(new QPlainTextEdit, kIdInfoMemo, 34, 232, 72, 86);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  WidenFieldsForDates();
}

void FileInfoDlg::WidenFieldsForDates() {
  const QLineEdit* created = Item<QLineEdit>(kIdInfoCreated);
  const int frame = created->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, created);
  const int needed = WidestDateTimeText(created->fontMetrics()) + 2 * frame + kLineEditTextPadding;
  const int extra = needed - created->width();
  if (extra <= 0) return;
  // All fields keep one width, and the panel grows by as much on the right.
  for (int id = kIdInfoNumber; id <= kIdInfoMemo; ++id) {
    QWidget* field = GetDlgItem(id);
    field->resize(field->width() + extra, field->height());
  }
  resize(width() + extra, height());
}

bool FileInfoDlg::eventFilter(QObject* watched, QEvent* event) {
  // A field left by the focus shows its text from the start again (Tab
  // selects all and scrolls to the end).
  if (event->type() == QEvent::FocusOut) {
    if (auto* field = qobject_cast<QLineEdit*>(watched)) {
      field->deselect();
      field->setCursorPosition(0);
    }
  }
  return DialogBase::eventFilter(watched, event);
}

FileInfoDlg::~FileInfoDlg() = default;

bool FileInfoDlg::Create(int templateId, QWidget* parent) {
  if (templateId != kTemplateInfoPanel) return false;
  if (parent != parentWidget()) setParent(parent, Qt::Widget);
  DialogBase::Create();
  return true;
}

bool FileInfoDlg::OnInitDialog() {
  DialogBase::OnInitDialog();
  imageFrame_ = new ImageFrame(this);
  imageFrame_->setGeometry(GetDlgItem(kIdPreviewFrame)->geometry());
  imageFrame_->show();
  return true;
}

void FileInfoDlg::Refresh() {
  QString texts[8];
  QString memo;
  if (member_ && list_) {
    const CEnvironObj& env = list_->GetEnvObj();
    const VexaFileHeader& header = member_->header;
    SYSTEMTIME created{};
    SYSTEMTIME updated{};
    member_->GetCreateSysTime(created);
    member_->GetUpdateSysTime(updated);
    texts[0] = QString::number(member_->GetDrawingNo(env));
    texts[1] = QString::fromStdString(header.Title());
    texts[2] = QString::number(header.pageCount);
    texts[3] = QString::fromStdString(GetSenyouTitle(env, member_->appId, 0));
    texts[4] = QString::fromStdString(header.Creator());
    texts[5] = QString::fromStdString(header.Updater());
    texts[6] = QString::fromStdString(DateTimeText(created));
    texts[7] = QString::fromStdString(DateTimeText(updated));
    memo = MemoText(header.Memo());
  }
  for (int i = 0; i < 8; ++i) {
    if (auto* field = Item<QLineEdit>(kIdInfoNumber + i)) {
      field->setText(texts[i]);
      field->setCursorPosition(0);
    }
  }
  if (auto* field = Item<QPlainTextEdit>(kIdInfoMemo)) field->setPlainText(memo);
  ShowHolder();
  update();
}

void FileInfoDlg::ShowDrawing(const FolMember* member, const QImage& preview) {
  member_ = member;
  bitmap_ = preview;
  Refresh();
  if (imageFrame_) {
    imageFrame_->SetBitmap(preview);
    imageFrame_->SetAppId(member ? member->appId : 0);
    imageFrame_->update();
  }
}

void FileInfoDlg::keyPressEvent(QKeyEvent* event) {
  // Return and Escape belong to the selection dialog around the panel.
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  DialogBase::keyPressEvent(event);
}

}  // namespace vexa
