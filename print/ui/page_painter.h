// Paints laid-out pages on a paged device (a QPrinter, a QPdfWriter): each
// layout's paper and orientation, its lines, boxes and texts in millimetres
// from the paper's top-left corner, texts in the fixed-pitch Gothic face the
// layout engine measured them for.
#pragma once

#include <QPageLayout>

#include <functional>
#include <vector>

#include "vexafol/print_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace vexa {

// The paper of a layout, without margins (the layout places everything).
QPageLayout PaperOf(const PrintLayout& layout);

// Draws one page with painter, whose device has dotsPerInch.
void PaintPage(QPainter& painter, const PrintPage& page, double dotsPerInch);

// PaintPages when a page could not be laid out for want of memory.
inline constexpr int kPaintNoMemory = -2;

// Lays out and paints every page of pagers on device, one page at a time, a
// new page for each but the first. progress (may be empty) hears after each
// page the pages done and the total; false stops. Returns the number of pages
// painted, -1 when the device cannot be painted on, or kPaintNoMemory.
int PaintPages(QPagedPaintDevice& device, const std::vector<const PrintPager*>& pagers,
               const std::function<bool(int done, int total)>& progress);

}  // namespace vexa
