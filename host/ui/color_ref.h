// Colours of the application table and the grids (0x00BBGGRR) as Qt colours.
#pragma once

#include <QColor>

#include "vexafol/types.h"

namespace vexa {

inline QColor ToQColor(COLORREF color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace vexa
