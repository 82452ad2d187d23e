// The drawing settings the drawing sheet and the page sheet share, in the
// terms their cell layouts are given in: rectangles as left, top, right,
// bottom (right and bottom just outside), boxes outlined by a solid black pen
// 2 pixels wide lying inside the rectangle, texts in "ＭＳ Ｐゴシック" 12
// pixels high on a transparent background, clipped to their rectangle.
#pragma once

#include <QBrush>
#include <QImage>
#include <QRect>

#include <string>

class QPainter;

namespace vexa {

// The rectangle from its four edges (right and bottom excluded).
inline QRect Ltrb(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

// How a text sits in its rectangle.
enum class TextForm {
  kCentered,  // one line, centred both ways
  kLeft,      // one line, left, centred vertically
  kTopLeft,   // lines as the text breaks them, from the top left, no wrapping
};

// The edges of a cell: left, top, right and bottom as the cell tables count
// them (right and bottom one past the last pixel).
struct CellEdges {
  int L, T, R, B;
};

// Selects the sheets' font and pen into painter and answers the edges of the
// cell rect.
CellEdges BeginCellPainting(QPainter& painter, const QRect& rect);
// A box: rect filled with brush (Qt::NoBrush leaves it as it is), framed by
// the 2-pixel black line.
void DrawBox(QPainter& painter, const QRect& rect, const QBrush& brush);
// utf8 in rect, in the painter's font and black.
void DrawCellText(QPainter& painter, const QRect& rect, const std::string& utf8, TextForm form);
// A box with a centred label in it (the field names of the drawing sheet).
void DrawLabelBox(QPainter& painter, const QRect& rect, const char* label);

// The padlock bitmap: closed when locked is non-zero, else open.
const QImage& PadlockBitmap(int locked);

}  // namespace vexa
