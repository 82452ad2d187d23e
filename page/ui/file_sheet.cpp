#include "page/ui/file_sheet.h"

#include <QPainter>

#include <cstdio>

#include "host/ui/color_ref.h"
#include "host/ui/preview_file.h"
#include "page/ui/cell_painting.h"
#include "vexafol/filetime.h"
#include "vexafol/lock_holder.h"
#include "vexafol/senyou.h"
#include "vexafol/ui/centered_bitmap.h"

namespace vexa {
namespace {

// The user's date, two blanks and the time; empty for a time that cannot be
// shown (a damaged header).
std::string LocalTimeText(const SYSTEMTIME& time) {
  if (time.wYear == 0) return "";
  return FolMember::GetDateString(time) + "  " + FolMember::GetTimeString(time);
}

}  // namespace

FileSheet::FileSheet(QWidget* parent) : SxGrpSheet(parent) {}

void FileSheet::RefreshDrawingLock() {
  const int locked = lock_->IsLockZmn(member_->GetPath(*env_, 0).c_str());
  if (locked == drawingLocked_) return;
  drawingLocked_ = locked;
  viewport()->update();
}

void FileSheet::Setup(const FolMember* member, VexaFolderLock* lock, const CEnvironObj* env) {
  env_ = env;
  member_ = member;
  lock_ = lock;
  RefreshDrawingLock();
  preview_ = LoadPreview(member_->GetPageBmpFile(*env_, 0, 0));

  appTitle_ = GetSenyouTitle(*env_, member_->appId, 0);
  SYSTEMTIME created{};
  SYSTEMTIME updated{};
  member_->GetCreateSysTime(created);
  member_->GetUpdateSysTime(updated);
  createText_ = LocalTimeText(created);
  updateText_ = LocalTimeText(updated);
  const VexaFileHeader& header = member_->header;
  char pages[32];
  std::snprintf(pages, sizeof pages, "%ldﾍﾟｰｼﾞ", static_cast<long>(header.pageCount));
  pagesText_ = pages;
  title_ = header.Title();
  creator_ = header.Creator();
  updater_ = header.Updater();
  // The memo keeps its line breaks; CR LF is one break.
  memo_ = header.Memo();
  for (size_t at = memo_.find("\r\n"); at != std::string::npos; at = memo_.find("\r\n", at)) {
    memo_.erase(at, 1);
  }
}

std::string FileSheet::FileStateWarning(int fileState) {
  switch (fileState) {
    case 1:
      return "ﾌｧｲﾙが壊れている可能性があります。ﾍﾟｰｼﾞ一覧で詳細を確認してください。";
    case 2:
      return "ﾌｧｲﾙ属性が読み取り専用になっています。";
    default:
      return "";
  }
}

void FileSheet::DrawRec(QPainter* painter, int row, int, QRect* rect) {
  if (!member_) return;
  QPainter& p = *painter;
  const auto [L, T, R, B] = BeginCellPainting(p, *rect);

  // The whole cell in the application's colour (white for one the table
  // does not know); every later box is white.
  DrawBox(p, Ltrb(L, T, R, B), ToQColor(GetSenyouColor(member_->appId)));
  DrawBox(p, Ltrb(L + 3, T + 3, L + 20, B - 3), Qt::white);
  DrawCellText(p, Ltrb(L + 3, T + 3, L + 20, B - 3), std::to_string(row + 1), TextForm::kCentered);

  DrawLabelBox(p, Ltrb(L + 23, T + 3, L + 107, T + 21), "ｱﾌﾟﾘｹｰｼｮﾝ");
  DrawCellText(p, Ltrb(L + 111, T + 3, L + 161, T + 21), appTitle_, TextForm::kLeft);
  DrawLabelBox(p, Ltrb(L + 165, T + 3, L + 215, T + 21), "ﾍﾟｰｼﾞ数");
  DrawCellText(p, Ltrb(L + 219, T + 3, L + 269, T + 21), pagesText_, TextForm::kLeft);
  DrawLabelBox(p, Ltrb(L + 273, T + 3, L + 347, T + 21), "図面タイトル");
  DrawCellText(p, Ltrb(L + 351, T + 3, R - 4, T + 21), title_, TextForm::kLeft);

  DrawLabelBox(p, Ltrb(L + 23, T + 23, L + 107, T + 41), "作成者");
  DrawCellText(p, Ltrb(L + 111, T + 23, L + 271, T + 41), creator_, TextForm::kTopLeft);
  DrawLabelBox(p, Ltrb(L + 23, T + 43, L + 107, T + 61), "変更者");
  DrawCellText(p, Ltrb(L + 111, T + 43, L + 271, T + 61), updater_, TextForm::kTopLeft);
  DrawLabelBox(p, Ltrb(L + 23, T + 63, L + 107, T + 81), "作成日");
  DrawCellText(p, Ltrb(L + 111, T + 63, L + 271, T + 81), createText_, TextForm::kLeft);
  DrawLabelBox(p, Ltrb(L + 23, T + 83, L + 107, T + 101), "変更日");
  DrawCellText(p, Ltrb(L + 111, T + 83, L + 271, T + 101), updateText_, TextForm::kLeft);

  DrawCenteredBitmap(p, PadlockBitmap(drawingLocked_), Ltrb(L + 23, T + 103, L + 43, T + 123));
  DrawCellText(p, Ltrb(L + 53, T + 103, L + 443, T + 123), FileStateWarning(member_->fileState),
               TextForm::kLeft);

  DrawLabelBox(p, Ltrb(L + 273, T + 23, L + 347, T + 41), "メモ");
  DrawCellText(p, Ltrb(L + 351, T + 23, R - 4, B - 4), memo_, TextForm::kTopLeft);

  // Last, over the right part of the memo; a broken index file shows none.
  const int H = B - T;
  if (member_->fileState != 1) DrawCenteredBitmap(p, preview_, Ltrb(R - H - 20, T, R, B));
}

void FileSheet::PaintSelRec(QPainter&, int, int, QRect&, int) {}

int FileSheet::ActivateRec(int, int) {
  return 1;
}

void FileSheet::GetCellToolTip(int, int, std::string& text) {
  if (!drawingLocked_ || !member_ || !env_) return;
  const std::string holder = LockHolderText(GetInUseHolder(*env_, member_->GetPath(*env_, 0)),
                                            FileTimeToUnix(CurrentFileTime()));
  if (!holder.empty()) text = "使用中: " + holder;
}

}  // namespace vexa
