// The texts of a drawing's row as the selection dialog's grid shows them, for
// every program that lists drawings the same way.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"

namespace vexa {

// The grid's columns; the values are the dialog's display item ids.
enum DrawingColumn : int {
  kColumnNumber = 0,       // drawing number; "※n" for the automatic backup of drawing n,
                           // "履歴n" for the numbered backup n ("BKUP.n")
  kColumnTitle = 1,        // 図面名
  kColumnApplication = 2,  // CAD: the application's short title
  kColumnPages = 3,        // PAGE: page count of the header
  kColumnCreator = 4,      // 作成者
  kColumnUpdater = 5,      // 変更者
  kColumnCreated = 6,      // 作成日: local date, "" for a time that is not valid
  kColumnUpdated = 7,      // 変更日: local date, "" for a time that is not valid
  kColumnMemo = 8,         // メモ on one line: each line break ("\r\n", "\r", "\n") a space
  kDrawingColumnCount = 9,
};

// The text of one column of member's row (UTF-8); "" for any other column.
VEXA_CORE_API std::string DrawingColumnText(const CEnvironObj& env, const FolMember& member,
                                            int column);

}  // namespace vexa
