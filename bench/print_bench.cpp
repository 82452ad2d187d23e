// The drawing list of 10,989 drawings (999 in each of the 11 applications)
// printed to PDF with the standard form: the layout alone, the whole PDF
// through CPrintMan, and a floor written by hand here: the same layout plus
// QPdfWriter drawing the same text runs and lines directly, with one face and
// pen. Prints the best of several runs, the time per page and the ratio to
// the floor. Goal: the whole PDF under 2 s and at most 1.5x the floor.
#include <QApplication>
#include <QElapsedTimer>
#include <QGlyphRun>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_store.h"
#include "bench/print_members.h"
#include "tests/support/temp_dir.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folmember.h"
#include "vexafol/print.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/ui/ui_library.h"
#include "vexafol/zmn_list_print.h"

namespace vexa {
namespace {

constexpr int kRuns = 5;
template <typename Work>
double BestSeconds(Work work) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, timer.nsecsElapsed() / 1e9);
  }
  return best;
}

// The floor: the same pages drawn by hand with one pen and one face, texts
// as glyph runs at the cell's left edge (no alignment, no fallback checks).
// With glyphs=false the texts go through QPainter::drawText instead, the
// usual way, for comparison.
void PaintFloor(const PrintLayout& layout, const std::string& pdf, bool glyphs) {
  QPdfWriter writer(QString::fromStdString(pdf));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageOrientation(QPageLayout::Landscape);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter(&writer);
  const double k = writer.logicalDpiX() / 25.4;
  QFont font(QString::fromUtf8(kFaceGothic));
  font.setPointSizeF(9);
  painter.setFont(font);
  QRawFont raw = QRawFont::fromFont(font);
  raw.setPixelSize(9 * k * 25.4 / 72);
  painter.setPen(QPen(Qt::black, 0.2 * k));
  bool first = true;
  for (const PrintPage& page : layout.pages) {
    if (!first) writer.newPage();
    first = false;
    for (const PrintLineRun& line : page.lines)
      painter.drawLine(QLineF(line.x1 * k, line.y1 * k, line.x2 * k, line.y2 * k));
    for (const PrintBoxRun& box : page.boxes)
      painter.drawRect(
          QRectF(box.rect.x * k, box.rect.y * k, box.rect.width * k, box.rect.height * k));
    for (const PrintTextRun& run : page.texts) {
      const QRectF cell(run.rect.x * k, run.rect.y * k, run.rect.width * k, run.rect.height * k);
      const QString text = QString::fromStdString(run.text);
      if (!glyphs) {
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
        continue;
      }
      const QList<quint32> indexes = raw.glyphIndexesForString(text);
      const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
      QList<QPointF> positions;
      double x = 0;
      for (const QPointF& advance : advances) {
        positions.append(QPointF(x, 0));
        x += advance.x();
      }
      QGlyphRun glyphRun;
      glyphRun.setRawFont(raw);
      glyphRun.setGlyphIndexes(indexes);
      glyphRun.setPositions(positions);
      painter.drawGlyphRun(QPointF(cell.left(), cell.bottom()), glyphRun);
    }
  }
}

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  using namespace vexa;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  InitUiLibrary();
  test::TempDir dir;
  FolderEnvironOptions options;
  options.userDataFile = dir / "user.ini";
  const FolderEnvironObj env(dir.path(), options);
  if (!InstallZmnListForm(env)) {
    std::fprintf(stderr, "cannot install the standard form\n");
    return 1;
  }
  std::string form = GetZmnListFormFolder(env);
  env.AddFileName(form, kZmnListStandardForm);
  const std::vector<FolMember> members = bench::MakePrintMembers(env);
  std::vector<const FolMember*> pointers;
  for (const FolMember& member : members) pointers.push_back(&member);
  const int count = static_cast<int>(pointers.size());
  const std::string pdf = dir / "list.pdf";

  CJknSet jkn;
  AddJknPrint(jkn);
  ModifyJknPrint(jkn);
  auto makeManager = [&](CPrintMan& manager) {
    manager.SetEnvObj(env);
    manager.SetPrintJkn(jkn);
    manager.AddPrintData(new ZmnListPrint(form, pointers.data(), count, env), 1);
  };

  int pages = 0;
  const double layoutOnly = BestSeconds([&] {
    CPrintMan manager;
    makeManager(manager);
    if (!manager.LayOut()) std::fprintf(stderr, "%s\n", manager.GetLastError().c_str());
    pages = manager.GetPageCount();
  });
  const double whole = BestSeconds([&] {
    CPrintMan manager;
    makeManager(manager);
    if (!manager.WritePdf(pdf)) std::fprintf(stderr, "%s\n", manager.GetLastError().c_str());
  });
  auto floorRun = [&](bool glyphs) {
    return BestSeconds([&] {
      PrintForm parsed;
      std::string error;
      ReadPrintForm(form, parsed, error);
      ZmnListPrint data(form, pointers.data(), count, env);
      PrintLayout layout;
      LayOutPrintForm(parsed, data, &jkn, PrintPageTexts{}, layout, error);
      PaintFloor(layout, pdf + ".floor", glyphs);
    });
  };
  const double floor = floorRun(true);
  const double drawTextFloor = floorRun(false);

  std::printf("drawing list: %d drawings on %d pages, standard form, best of %d runs\n", count,
              pages, kRuns);
  std::printf("  layout only       %7.3f s  %7.3f ms/page\n", layoutOnly, layoutOnly * 1e3 / pages);
  std::printf("  whole PDF         %7.3f s  %7.3f ms/page  (goal: under 2 s)\n", whole,
              whole * 1e3 / pages);
  std::printf("  floor: layout + QPdfWriter drawing the runs directly as glyphs\n");
  std::printf("                    %7.3f s  %7.3f ms/page\n", floor, floor * 1e3 / pages);
  std::printf("  whole / floor     %7.2fx  (goal: at most 1.5x)\n", whole / floor);
  std::printf("  for comparison: the floor with QPainter::drawText per cell\n");
  std::printf("                    %7.3f s  %7.3f ms/page\n", drawTextFloor,
              drawTextFloor * 1e3 / pages);
  return 0;
}
