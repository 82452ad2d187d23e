// The file-open dialog behind CEnvironObj::SelectOpenFile: a Qt file dialog
// over one folder with the host's filter pairs. The library installs it as
// the core's file-open hook when it is loaded.
#pragma once

#include <QStringList>

#include <string>

#include "vexafol/export.h"

namespace vexa {

// The Qt name filters of a host filter of description and pattern pairs
// separated by "|": "ﾕｰｻﾞｰ帳票|.FMT|標準帳票|.@MT" gives "ﾕｰｻﾞｰ帳票 (*.FMT)" and
// "標準帳票 (*.@MT)". A pattern that starts with a dot is an extension; ";"
// separates several patterns. A description without a pattern is dropped;
// an empty filter gives "*".
VEXA_UI_API QStringList OpenFileNameFilters(const std::string& filter);

// Shows a modal file dialog titled title over folder (parent: a QWidget* or
// null) that offers the files of filter, matched without regard to case; ext
// (".FMT"), when not empty, preselects the filter of that extension. Answers
// the chosen file relative to folder, or "" when the user cancelled (and
// without a QApplication, when no dialog can be shown). Without ext the
// dialog opens on the filter the user chose last for the same folder and
// filter, else on the first filter that lists a file there; after a choice
// the next dialog for that pair opens in the folder the file was taken from.
VEXA_UI_API std::string SelectOpenFileDialog(void* parent, const std::string& folder,
                                             const std::string& filter, const std::string& ext,
                                             const std::string& title);

}  // namespace vexa
