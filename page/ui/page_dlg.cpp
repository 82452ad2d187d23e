#include "page/ui/page_dlg.h"

#include <QPushButton>

#include "host/ui/loading_window.h"
#include "page/ui/file_sheet.h"
#include "page/ui/page_sheet.h"
#include "vexafol/dialog_mode.h"
#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa {
namespace {

constexpr const char* kCaption = "ﾍﾟｰｼﾞの一覧";
constexpr int kTemplateWidth = 378;
constexpr int kTemplateHeight = 373;

// The text height handed to the sheets' Init.
constexpr int kTextHeight = 12;

QRect PixelRect(const DialogBase& dialog, const TemplateRect& rect) {
  return dialog.DluRect(rect.x, rect.y, rect.width, rect.height);
}

}  // namespace

PageDlg::PageDlg(QWidget* parent, const CEnvironObj* env, const FolMember* member,
                 VexaFolderLock* lock, int mode)
    : DialogBase(kTemplatePageDlg, parent),
      env_(env),
      member_(member),
      lock_(lock),
      kindWord_(mode & kModeKindWordMask),
      flagWord_(mode & kModeFlagWordMask) {
  setWindowTitle(QString::fromUtf8(kCaption));
  SetTemplateSize(kTemplateWidth, kTemplateHeight);
  // The sheets are placed once, on the template's size: the window keeps
  // that size and cannot be maximised.
  setFixedSize(size());
  QPushButton* ok = AddButton(IDOK, "OK", 320, 4, 50, 15);
  ok->hide();
  ok->setEnabled(false);
  AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 7, 4, 50, 15);
  drawButton_ = Place(new BitButton(kIdDrawPage, "ページ製図"), kIdDrawPage, 62, 4, 50, 15);
  connect(drawButton_, &QPushButton::clicked, this, [this] { ChoosePage(); });
}

bool PageDlg::OnInitDialog() {
  DialogBase::OnInitDialog();
  drawButton_->SetBitmap(kBitmapDrawPage);
  drawButton_->SetFace(0);
  if (flagWord_ == kModeViewOnly || kindWord_ == kModeDelete) {
    drawButton_->setEnabled(false);
    drawButton_->hide();
  }

  fileSheet_ = new FileSheet(this);
  fileSheet_->setObjectName(QStringLiteral("FileSheet"));
  fileSheet_->Setup(member_, lock_, env_);
  fileSheet_->setGeometry(PixelRect(*this, kDrawingSheetRect));
  fileSheet_->show();
  fileSheet_->Init(1, 1, 1, kTextHeight);
  fileSheet_->SetSelect(0, 0);

  pageSheet_ = new PageSheet(this);
  pageSheet_->setObjectName(QStringLiteral("PageSheet"));
  if (pages_) {
    pageSheet_->Setup(member_, lock_, env_, std::move(*pages_));
    pages_.reset();
  } else {
    pageSheet_->Setup(member_, lock_, env_);
  }
  pageSheet_->setGeometry(PixelRect(*this, kPageSheetRect));
  pageSheet_->show();
  const int rows = (pageSheet_->PageCount() - 1) / PageSheet::kColumns + 1;
  pageSheet_->Init(2, PageSheet::kColumns, rows, kTextHeight);
  pageSheet_->SetSelect(0, 0);
  connect(pageSheet_, &PageSheet::pageActivated, this, [this] { ChoosePage(); });
  connect(pageSheet_, &PageSheet::locksSurveyed, fileSheet_, &FileSheet::RefreshDrawingLock);
  return true;
}

void PageDlg::ChoosePage() {
  if (flagWord_ == kModeViewOnly) return;
  int row = -1;
  int col = -1;
  pageSheet_->GetSelect(&row, &col);
  const int page = pageSheet_->PageAt(row, col);
  if (page < 0) return;
  if (fileSheet_->IsDrawingLocked() || pageSheet_->IsPageLocked(page)) {
    MessageBox(this, "このページは編集中です。", "ページ編集", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  result_ = page;
  DialogBase::OnOK();
}

int RunPageDialog(QWidget* parent, const CEnvironObj& env, int mode, const FolMember* member,
                  VexaFolderLock* lock) {
  if (!member || !lock) return -1;
  // The pages are read on a worker thread; a long read shows its progress
  // and may be cancelled, which returns as Cancel does.
  std::vector<PageSheet::Page> pages;
  const bool read = RunWithProgress(parent, QString::fromUtf8("ページ"), [&](LoadState& state) {
    pages = PageSheet::ReadPages(*member, *lock, env, [&state](int done, int count) {
      state.read.store(done, std::memory_order_relaxed);
      state.total.store(count, std::memory_order_relaxed);
      return !state.cancelled.load(std::memory_order_relaxed);
    });
  });
  if (!read) return -1;
  PageDlg dialog(parent, &env, member, lock, mode);
  dialog.SetPages(std::move(pages));
  if (dialog.DoModal() != IDOK || dialog.GetResult() < 0) return -1;
  return dialog.GetResult();
}

}  // namespace vexa
