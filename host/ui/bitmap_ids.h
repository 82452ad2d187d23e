// The names of the library's bitmaps (Qt resources ":/vexafol/bitmaps/<id>.xpm",
// loaded by LoadBitmap). The numbers are the resource ids the exported
// LoadBitmap and BitButton::SetBitmap take.
#pragma once

namespace vexa {

// The selection dialog's toolbar, 24 x 24.
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
