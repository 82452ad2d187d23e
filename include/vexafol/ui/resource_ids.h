// The resource ids of the library's dialogs and bitmaps, by name.
//
// A dialog's objectName is its template id and a control's its control id,
// written in decimal ("29003"), so a host or a test finds a dialog with
// QWidget::objectName() == QString::number(kTemplateFileDlg). LoadBitmap takes
// the bitmap ids. Some numbers serve twice on purpose, as the resources number
// them: 29003 is the selection dialog's template and the closed padlock, 29010
// the backup button and the page dialog's draw-button bitmap, 29039 the
// search dialog's name field and the delete bitmap; the names say which is meant.
#pragma once

namespace vexa {

// Dialog templates (a dialog's objectName).
inline constexpr int kTemplatePageDlg = 29002;     // page dialog
inline constexpr int kTemplateFileDlg = 29003;     // drawing selection dialog
inline constexpr int kTemplateFindDlg = 29014;     // search dialog "検索設定"
inline constexpr int kTemplateInfoPanel = 29016;   // the selection dialog's info panel
inline constexpr int kTemplateSetItemDlg = 14011;  // display items "表示項目の設定"

// The selection dialog's search button, which opens the search dialog.
inline constexpr int kFileDlgSearchButton = 29033;

// Bitmaps (Qt resources ":/vexafol/bitmaps/<id>.xpm", loaded by LoadBitmap and
// BitButton::SetBitmap). The selection dialog's toolbar, 24 x 24:
inline constexpr int kBitmapPageList = 29009;
inline constexpr int kBitmapDelete = 29039;
inline constexpr int kBitmapRestore = 29011;
inline constexpr int kBitmapBackupRestore = 29042;
inline constexpr int kBitmapSearch = 29040;
inline constexpr int kBitmapClearSearch = 29041;
inline constexpr int kBitmapDisplayItems = 11045;
inline constexpr int kBitmapSwitchManager = 25000;
inline constexpr int kBitmapPrintList = 29018;
// The padlocks of the page dialog's sheets, 20 x 20: in use and free.
inline constexpr int kBitmapPadlockClosed = 29003;
inline constexpr int kBitmapPadlockOpen = 29004;
// The page dialog's draw button "ページ製図", 80 x 15.
inline constexpr int kBitmapDrawPage = 29010;

}  // namespace vexa
