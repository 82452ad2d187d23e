#include "page/ui/page_sheet.h"

#include <QPainter>

#include <algorithm>
#include <cstdio>

#include "host/ui/preview_cache.h"
#include "host/ui/preview_file.h"
#include "page/ui/cell_painting.h"
#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/store_name.h"
#include "vexafol/ui/centered_bitmap.h"

namespace vexa {
namespace {

constexpr double kKilo = 1024.0;
constexpr double kMega = 1048576.0;

}  // namespace

PageSheet::PageSheet(QWidget* parent) : SxGrpSheet(parent) {}

std::string PageSheet::SizeText(double size) {
  char text[64];
  if (size < kKilo) {
    std::snprintf(text, sizeof text, "%.3lf ﾊﾞｲﾄ", size);
  } else if (size < kMega) {
    std::snprintf(text, sizeof text, "%.2lf KB", size * (1 / kKilo));
  } else {
    std::snprintf(text, sizeof text, "%.2lf MB", size * (1 / kKilo) * (1 / kKilo));
  }
  return text;
}

std::vector<PageSheet::Page> PageSheet::ReadPages(
    const FolMember& member, VexaFolderLock& lock, const CEnvironObj& env,
    const std::function<bool(int read, int count)>& progress) {
  const std::string drawing = member.GetPath(env, 0);
  const int count = std::clamp(member.header.pageCount, 0, kMaxPages);
  std::vector<Page> pages(count);
  // The pictures of all pages stay in memory while the dialog is open, within
  // the bound of a dialog's previews: those beyond it are left out.
  int64_t budget = kPreviewCacheBytes;
  for (int i = 0; i < count; ++i) {
    Page& page = pages[i];
    File file;
    if (file.Open(ResolveStoreName(member.GetPageFile(env, 0, i)), File::Mode::ReadOnly)) {
      VexaFilePageInfo info;
      info.version = 100;
      try {
        ReadPageFileInfo(file, info);  // a short record shows what it holds
      } catch (const FileException&) {
      }
      page.version = info.version;
      page.name = info.Name();
      page.subName = info.SubName();
      page.caption = info.Caption();
      page.size = static_cast<double>(file.GetLength());
      FileStatus status;
      if (file.GetStatus(status) && status.readOnly) page.state = kStateReadOnly;
    } else {
      page.state = kStateNoFile;
    }
    page.locked = lock.IsLockPage(drawing.c_str(), i);
    if (budget > 0) {
      page.preview = LoadPreview(member.GetPageBmpFile(env, 0, i), budget);
      budget -= page.preview.sizeInBytes();
    }
    page.headerText = std::to_string(i + 1) + ":" + page.caption;
    page.sizeText = SizeText(page.size);
    if (progress && !progress(i + 1, count)) {
      pages.resize(i + 1);
      break;
    }
  }
  return pages;
}

void PageSheet::Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env,
                      std::vector<Page> pages) {
  env_ = env;
  member_ = member;
  lock_ = lock;
  pages_ = std::move(pages);
  StartLockWatch();
}

void PageSheet::Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env) {
  Setup(member, lock, env, ReadPages(*member, *lock, *env));
}

int PageSheet::PageAt(int row, int col) const {
  if (row < 0 || col < 0 || col >= kColumns) return -1;
  const long page = static_cast<long>(row) * kColumns + col;
  return page < PageCount() ? static_cast<int>(page) : -1;
}

int PageSheet::IsPageLocked(int page) const {
  return page >= 0 && page < PageCount() ? pages_[page].locked : 1;
}

const PageSheet::Page* PageSheet::GetPage(int page) const {
  return page >= 0 && page < PageCount() ? &pages_[page] : nullptr;
}

void PageSheet::DrawRec(QPainter* painter, int row, int col, QRect* rect) {
  const int i = PageAt(row, col);
  if (i < 0) return;
  const Page& page = pages_[i];
  QPainter& p = *painter;
  const auto [L, T, R, B] = BeginCellPainting(p, *rect);

  DrawBox(p, Ltrb(L + 3, T + 3, L + 103, T + 21), p.brush());
  DrawCellText(p, Ltrb(L + 3, T + 3, L + 103, T + 21), page.headerText, TextForm::kLeft);
  DrawCenteredBitmap(p, PadlockBitmap(page.locked), Ltrb(L + 108, T + 1, L + 128, T + 23));
  DrawCellText(p, Ltrb(L + 3, T + 23, L + 153, T + 41), page.name, TextForm::kLeft);
  DrawCellText(p, Ltrb(L + 3, T + 43, L + 203, T + 61), page.sizeText, TextForm::kLeft);
  if (page.state == kStateNoFile) {
    DrawCellText(p, Ltrb(L + 18, T + 81, L + 138, T + 103), "ﾃﾞｰﾀﾌｧｲﾙがありません",
                 TextForm::kLeft);
  } else {
    DrawCenteredBitmap(p, page.preview, Ltrb(L + 3, T + 63, R - 3, B - 3));
  }
  if (page.state == kStateReadOnly) {
    DrawCellText(p, Ltrb(L + 38, T + 166, L + 158, T + 188), "読み取り専用", TextForm::kLeft);
  }
}

int PageSheet::SelectRec(int row, int col) {
  return PageAt(row, col) >= 0 ? 1 : 0;
}

int PageSheet::ActivateRec(int, int) {
  emit pageActivated();
  return 1;
}

}  // namespace vexa
