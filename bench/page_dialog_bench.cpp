// Opening the page dialog offscreen over a drawing of 100 pages, each with
// its page file and a 320 x 240 preview bitmap: the time from the call (the
// dialog's construction) to its first painted frame of the page sheet,
// against a floor written here: open each page file and read its page
// information, then read each preview file and decode its pixels by hand
// (24-bit uncompressed BMP rows copied into an image), keeping the 100
// images as the dialog keeps them. Goal: at most 1.5x the floor. The floor
// without keeping them (each image freed before the next is decoded, so its
// memory is reused) is printed beside it: the difference is the cost of
// fresh memory for 100 pictures. The store is generated once under
// $TMPDIR/vexafol-page-dialog-bench and reused; prints the best of several
// runs of each, files in the page cache.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/bench_store.h"
#include "bench/delay_env.h"
#include "bench/frame_clock.h"
#include "bench/paint_counter.h"
#include "page/ui/page_dlg.h"
#include "page/ui/page_sheet.h"
#include "platform/env.h"
#include "vexafol/dialogs.h"
#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kPages = 100;
constexpr int kRuns = 7;
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;

FolMember Drawing(const FolderEnvironObj& env) {
  FolMember drawing;
  drawing.path = GetSenyouPath(env, 0x1);
  env.AddFileName(drawing.path, "Fol.001");
  drawing.appId = 0x1;
  drawing.header.SetTitle("測量図面 100ページ");
  drawing.header.pageCount = kPages;
  return drawing;
}

bool MakeStore(const FolderEnvironObj& env, const std::string& root, const FolMember& drawing) {
  const std::string done = root + "/.complete";
  if (std::filesystem::exists(done)) return true;
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(drawing.path);
  File index;
  if (!index.Open(drawing.GetIndexFile(env, 0), File::Mode::CreateTruncate)) return false;
  WriteHeadFile(index, drawing.header);
  for (int page = 0; page < kPages; ++page) {
    File file;
    if (!file.Open(drawing.GetPageFile(env, 0, page), File::Mode::CreateTruncate)) return false;
    VexaFilePageInfo info;
    info.SetName("平面図 " + std::to_string(page + 1));
    info.SetCaption("第" + std::to_string(page + 1) + "葉");
    WritePageFileInfo(file, info);
    file.SetLength(40000 + page * 1000);  // the drawing data behind the information
    QImage picture(kPreviewWidth, kPreviewHeight, QImage::Format_RGB888);
    picture.fill(QColor(250, 250, 250));
    for (int x = 0; x < kPreviewWidth; ++x) {
      picture.setPixelColor(x, kPreviewHeight / 2 + (x * page) % 60 - 30, QColor(200, 0, 0));
    }
    if (!picture.save(QString::fromStdString(drawing.GetPageBmpFile(env, 0, page)), "BMP")) {
      return false;
    }
  }
  File marker;
  return marker.Open(done, File::Mode::CreateTruncate);
}

// A 24-bit uncompressed BMP decoded by hand: bottom-up rows padded to four
// bytes, blue green red.
QImage DecodeBmp(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  const uint32_t offset = u32(10);
  const int width = static_cast<int32_t>(u32(18));
  const int height = static_cast<int32_t>(u32(22));
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (width <= 0 || height <= 0 || offset + stride * height > bytes.size()) return {};
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    const unsigned char* in = bytes.data() + offset + stride * (height - 1 - y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
  }
  return image;
}

// The floor: what the dialog must read, read directly. The decoded bitmaps
// are kept, as the dialog keeps them for its lifetime, when keep is true.
double Floor(const FolderEnvironObj& env, const FolMember& drawing, bool keep) {
  std::vector<QImage> kept;
  QElapsedTimer timer;
  timer.start();
  int decoded = 0;
  for (int page = 0; page < kPages; ++page) {
    File file;
    if (file.Open(drawing.GetPageFile(env, 0, page), File::Mode::ReadOnly)) {
      VexaFilePageInfo info;
      ReadPageFileInfo(file, info);
    }
    File bitmap;
    if (!bitmap.Open(drawing.GetPageBmpFile(env, 0, page), File::Mode::ReadOnly)) continue;
    std::vector<unsigned char> bytes(bitmap.GetLength());
    size_t got = 0;
    bitmap.TryRead(bytes.data(), bytes.size(), got);
    QImage image = DecodeBmp(bytes);
    decoded += image.isNull() ? 0 : 1;
    if (keep) kept.push_back(std::move(image));
  }
  if (decoded != kPages) std::fprintf(stderr, "floor decoded %d bitmaps\n", decoded);
  return timer.nsecsElapsed() / 1e6;
}

struct DialogTimes {
  double setup;  // construction and initialisation: every file read
  double total;  // the call to the first painted frame of the page sheet
};

DialogTimes OpenDialog(const FolderEnvironObj& env, const FolMember& drawing) {
  QElapsedTimer timer;
  timer.start();
  VexaFolderLock lock(&env);
  PageDlg dialog(nullptr, &env, &drawing, &lock, 0);
  dialog.InitDialog();
  const double setup = timer.nsecsElapsed() / 1e6;
  bench::PaintCounter counter;
  dialog.GetPageSheet()->viewport()->installEventFilter(&counter);
  dialog.show();
  while (counter.paints == 0) QApplication::processEvents();
  const double total = timer.nsecsElapsed() / 1e6;
  if (dialog.GetPageSheet()->PageCount() != kPages) std::fprintf(stderr, "pages missing\n");
  return {setup, total};
}

// The best of runs calls of SelectPageName: from the call to the first painted
// frame of any window, and to the first painted frame of the page sheet.
std::pair<double, double> MeasureEntry(const FolderEnvironObj& env, const FolMember& drawing,
                                       int runs) {
  double frame = 1e9, rows = 1e9;
  for (int run = 0; run < runs; ++run) {
    VexaFolderLock lock(&env);
    bench::FrameClock clock([](QWidget* widget) {
      auto* sheet = qobject_cast<PageSheet*>(widget->parentWidget());
      return sheet && widget == sheet->viewport() && sheet->PageCount() > 0;
    });
    qApp->installEventFilter(&clock);
    SelectPageName(nullptr, env, 0, &drawing, &lock);
    qApp->removeEventFilter(&clock);
    frame = std::min(frame, clock.firstFrame);
    rows = std::min(rows, clock.firstRow);
  }
  return {frame, rows};
}

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  const std::string root = vexa::bench::ScratchFolder("vexafol-page-dialog-bench");
  vexa::FolderEnvironOptions options;
  options.userDataFile = root + "/user.ini";
  const vexa::FolderEnvironObj env(root, options);
  const vexa::FolMember drawing = vexa::Drawing(env);
  if (!vexa::MakeStore(env, root, drawing)) {
    std::fprintf(stderr, "cannot make the store in %s\n", root.c_str());
    return 1;
  }
  vexa::OpenDialog(env, drawing);  // fonts and the first window, once per process
  double floor = 1e9;
  double transientFloor = 1e9;
  vexa::DialogTimes best{1e9, 1e9};
  for (int run = 0; run < vexa::kRuns; ++run) {
    floor = std::min(floor, vexa::Floor(env, drawing, true));
    transientFloor = std::min(transientFloor, vexa::Floor(env, drawing, false));
    const vexa::DialogTimes t = vexa::OpenDialog(env, drawing);
    best.setup = std::min(best.setup, t.setup);
    best.total = std::min(best.total, t.total);
  }
  const double ratio = best.total / floor;
  std::printf("page dialog, %d pages with %dx%d previews, offscreen, best of %d runs (ms)\n",
              vexa::kPages, vexa::kPreviewWidth, vexa::kPreviewHeight, vexa::kRuns);
  std::printf("%14s %20s %14s %16s %8s\n", "floor", "floor (not kept)", "dialog setup",
              "call to paint", "ratio");
  std::printf("%14.2f %20.2f %14.2f %16.2f %7.2fx\n", floor, transientFloor, best.setup, best.total,
              ratio);
  std::printf("goal: call to first paint <= 1.5x the floor: %s\n",
              ratio <= 1.5 ? "met" : "NOT met");

  // The exported entry point, locally and where every request through the
  // platform seam waits 0.5 ms, as on a share.
  auto [frame, rows] = vexa::MeasureEntry(env, drawing, vexa::kRuns);
  std::printf(
      "SelectPageName, local disk: call to first window frame %8.1f ms   call to first "
      "page row %8.1f ms\n",
      frame, rows);
  {
    vexa::bench::DelayEnv share(500);
    const vexa::platform::ScopedEnv scoped(share);
    std::tie(frame, rows) = vexa::MeasureEntry(env, drawing, 2);
  }
  std::printf(
      "SelectPageName, share (0.5 ms per request): call to first window frame %8.1f ms   "
      "call to first page row %8.1f ms\n",
      frame, rows);
  return 0;
}
