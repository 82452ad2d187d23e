// The one message box of the library, with the flag and answer values of the
// Windows message box, so that dialog code reads as the system describes it.
// Users see a QMessageBox; tests install a hook that answers without a window.
#pragma once

#include <functional>
#include <string>

#include "vexafol/export.h"

class QWidget;

namespace vexa {

// Buttons (low four bits).
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
// Icons (bits 4 to 7).
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
// Default button (bits 8 to 11): the first button unless one of these.
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;

// Answers; also the results of DialogBase::DoModal.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows text under title with the buttons, icon and default button of type,
// modal over parent (may be null), and returns the answer: IDOK, IDCANCEL,
// IDYES, IDNO, IDABORT, IDRETRY or IDIGNORE. Escape answers IDCANCEL when the
// box has a Cancel button; otherwise Qt picks the only button (MB_OK) or the
// rejecting one (No, Abort). A box closed without any button answers
// IDCANCEL. Unknown button sets show OK alone; a default-button index past
// the last button selects the first. Button texts are the Japanese ones users
// know ("OK", "キャンセル", "はい(&Y)", "いいえ(&N)", ...). When a hook is
// installed the hook answers instead and no window is shown.
VEXA_UI_API int MessageBox(QWidget* parent, const std::string& text, const std::string& title,
                           unsigned type);

using MessageBoxHook = std::function<int(QWidget* parent, const std::string& text,
                                         const std::string& title, unsigned type)>;

// Installs hook (empty: show real boxes again) and returns the previous one.
VEXA_UI_API MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Installs a hook for its lifetime and puts the previous one back afterwards.
class VEXA_UI_API ScopedMessageBoxHook {
 public:
  explicit ScopedMessageBoxHook(MessageBoxHook hook);
  ~ScopedMessageBoxHook();
  ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
  ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

 private:
  MessageBoxHook previous_;
};

}  // namespace vexa
