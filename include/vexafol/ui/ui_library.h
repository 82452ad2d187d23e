// Set-up of the Qt user-interface library: font substitutions for the face
// names the dialogs ask for, the wait cursor behind the core's hook, and the
// library's bitmaps. Call from the GUI thread after the QApplication exists.
#pragma once

#include <QFont>
#include <QPixmap>

#include <string>

#include "vexafol/export.h"

namespace vexa {

// Face names the dialogs and sheets use; they are not installed on Linux and
// are mapped to the IPA Gothic fonts.
inline constexpr const char* kFacePGothic = "ＭＳ Ｐゴシック";
inline constexpr const char* kFaceGothic = "ＭＳ ゴシック";

// Prepares the library once per process (later calls do nothing):
// - maps "ＭＳ Ｐゴシック" to IPAPGothic and "ＭＳ ゴシック" to IPAGothic with
//   QFont::insertSubstitution, so QFont(kFacePGothic) renders Japanese;
// - installs ShowWaitCursor as the core's wait-cursor hook unless the host
//   installed its own hook first.
// - loads Qt's own translations (qtbase_*.qm of the system's Qt) for the
//   user's locale into the application, once, so that Qt's stock dialogs and
//   tool tips speak Japanese under ja_JP (English under C and en_US).
// Every component of the library calls it on construction, so hosts need not.
VEXA_UI_API void InitUiLibrary();

// The core's wait-cursor hook on Qt: true pushes Qt::WaitCursor as the
// application's override cursor, false pops it. Does nothing without a
// QGuiApplication. Nesting is counted by vexa::WaitCursor, so the hook sees one
// push and one pop per outermost wait.
VEXA_UI_API void ShowWaitCursor(bool show);

// The library bitmap with the given resource id, one of the kBitmap names of
// vexafol/ui/resource_ids.h (toolbar bitmaps, padlocks, the page dialog's draw
// button). A null pixmap when the id is unknown.
VEXA_UI_API QPixmap LoadBitmap(int id);

// A font of the given face and size in points, as a dialog template names it.
VEXA_UI_API QFont DialogFont(const std::string& face, int pointSize);

}  // namespace vexa
