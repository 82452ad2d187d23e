#include "print/ui/page_painter.h"

#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRawFont>

#include <map>

#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

constexpr double kMillimetresPerInch = 25.4;

QColor ColorOf(unsigned long bgr) {
  return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                static_cast<int>((bgr >> 16) & 0xff));
}

Qt::Alignment AlignmentOf(PrintAlign align) {
  switch (align) {
    case PrintAlign::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case PrintAlign::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case PrintAlign::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

// A face at one size, ready to draw glyphs: the layout measured every text
// in this fixed-pitch face, so its glyphs are placed without Qt's text
// layout, which dominates the cost of a page of short table texts.
struct SizedFace {
  QFont font;
  QRawFont raw;
  double ascent = 0;
  double descent = 0;
};

// Sets pen and face only when they change: a page has hundreds of runs in a
// handful of styles.
class StyleCache {
 public:
  StyleCache(QPainter& painter, double scale) : painter_(painter), scale_(scale) {}

  void Pen(unsigned long color, double widthMm) {
    if (hasPen_ && color == penColor_ && widthMm == penWidth_) return;
    hasPen_ = true;
    penColor_ = color;
    penWidth_ = widthMm;
    painter_.setPen(QPen(ColorOf(color), widthMm * scale_));
  }

  const SizedFace& Face(double pointSize) {
    auto it = faces_.find(pointSize);
    if (it == faces_.end()) {
      SizedFace face;
      face.font = QFont(QString::fromUtf8(kFaceGothic));
      face.font.setPointSizeF(pointSize);
      // Sized in device pixels, as the painter draws without a transform.
      face.raw = QRawFont::fromFont(face.font);
      face.raw.setPixelSize(pointSize * scale_ * 25.4 / 72);
      face.ascent = face.raw.ascent();
      face.descent = face.raw.descent();
      it = faces_.emplace(pointSize, face).first;
    }
    return it->second;
  }

 private:
  QPainter& painter_;
  double scale_;
  bool hasPen_ = false;
  unsigned long penColor_ = 0;
  double penWidth_ = 0;
  std::map<double, SizedFace> faces_;
};

// Draws text in cell as glyphs of face; false when the face lacks a
// character (the caller then lets Qt pick a fallback font).
bool DrawGlyphs(QPainter& painter, const SizedFace& face, const QString& text, const QRectF& cell,
                PrintAlign align) {
  if (!face.raw.isValid()) return false;
  QList<quint32> glyphs = face.raw.glyphIndexesForString(text);
  for (quint32 glyph : glyphs)
    if (glyph == 0) return false;
  const QList<QPointF> advances = face.raw.advancesForGlyphIndexes(glyphs);
  QList<QPointF> positions;
  positions.reserve(advances.size());
  double x = 0;
  for (const QPointF& advance : advances) {
    positions.append(QPointF(x, 0));
    x += advance.x();
  }
  double left = cell.left();
  if (align == PrintAlign::Center) left += (cell.width() - x) / 2;
  if (align == PrintAlign::Right) left += cell.width() - x;
  const double baseline = cell.center().y() + (face.ascent - face.descent) / 2;
  QGlyphRun run;
  run.setRawFont(face.raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  painter.drawGlyphRun(QPointF(left, baseline), run);
  return true;
}

}  // namespace

QPageLayout PaperOf(const PrintLayout& layout) {
  const double shortSide = std::min(layout.paperWidth, layout.paperHeight);
  const double longSide = std::max(layout.paperWidth, layout.paperHeight);
  const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(),
                       QPageSize::FuzzyMatch);
  return QPageLayout(size, layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void PaintPage(QPainter& painter, const PrintPage& page, double dotsPerInch) {
  InitUiLibrary();
  const double k = dotsPerInch / kMillimetresPerInch;
  StyleCache style(painter, k);
  painter.setBrush(Qt::NoBrush);
  for (const PrintLineRun& line : page.lines) {
    style.Pen(0, line.width);
    painter.drawLine(QLineF(line.x1 * k, line.y1 * k, line.x2 * k, line.y2 * k));
  }
  for (const PrintBoxRun& box : page.boxes) {
    style.Pen(0, box.width);
    painter.drawRect(
        QRectF(box.rect.x * k, box.rect.y * k, box.rect.width * k, box.rect.height * k));
  }
  for (const PrintTextRun& run : page.texts) {
    if (run.text.empty()) continue;
    style.Pen(run.color, 0);
    const SizedFace& face = style.Face(run.fontSize);
    const QRectF cell(run.rect.x * k, run.rect.y * k, run.rect.width * k, run.rect.height * k);
    const QString text =
        QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size()));
    if (DrawGlyphs(painter, face, text, cell, run.align)) continue;
    painter.setFont(face.font);
    painter.drawText(cell, AlignmentOf(run.align) | Qt::TextSingleLine, text);
  }
}

int PaintPages(QPagedPaintDevice& device, const std::vector<const PrintPager*>& pagers,
               const std::function<bool(int done, int total)>& progress) {
  int total = 0;
  for (const PrintPager* pager : pagers) total += pager->PageCount();
  if (!pagers.empty()) device.setPageLayout(PaperOf(pagers.front()->Paper()));
  QPainter painter;
  if (!painter.begin(&device)) return -1;
  const double dpi = device.logicalDpiX();
  PrintPage page;  // the one page in memory
  int done = 0;
  for (const PrintPager* pager : pagers) {
    for (int index = 0; index < pager->PageCount(); ++index) {
      if (done > 0) {
        if (index == 0) device.setPageLayout(PaperOf(pager->Paper()));
        device.newPage();
      }
      if (!pager->LayOutPage(index, page)) {
        painter.end();
        return kPaintNoMemory;
      }
      PaintPage(painter, page, dpi);
      ++done;
      if (progress && !progress(done, total)) return painter.end() ? done : -1;
    }
  }
  return painter.end() ? done : -1;
}

}  // namespace vexa
