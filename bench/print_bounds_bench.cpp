// Peak memory and time of one drawing-list PDF of 10,989 drawings with a form
// of COLUMNS thin columns and ROWS rows per page (a form any member of the
// store's group can plant in its forms folder), or with the standard form
// when COLUMNS is 0. Prints the outcome (pages written, or the one-line
// error), the wall time and the peak resident memory of the process.
//   print_bounds_bench [COLUMNS [ROWS [PER_APP]]]
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/print_members.h"
#include "tests/support/temp_dir.h"
#include "vexafol/folder_environ.h"
#include "vexafol/print.h"
#include "vexafol/ui/print_man.h"
#include "vexafol/zmn_list_print.h"

namespace {

// Rows of columns side by side across the largest paper, each as wide as
// fits (at least the 0.1 mm the reader takes, at most 20 mm).
std::string ThinColumnsForm(int columns, int rows) {
  const double width = std::clamp(std::floor(19900.0 / columns) / 10, 0.1, 20.0);
  std::string form =
      "[Form]\nPaper = 2000x2000\nMargins = 0, 0, 0, 0\n[Repeat32]\nRowHeight = 0.5\n"
      "HeadingHeight = 0.5\nRuleRows = yes\nRuleColumns = yes\n";
  form += "RowsPerPage = " + std::to_string(rows) + "\n";
  for (int i = 0; i < columns; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "Column%d = %d, %.1f, %.1f, left, 3, cut, H\n", i + 1,
                  256 + i % 9, std::fmod(i * width, 1990.0), width);
    form += line;
  }
  return form;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vexa;
  const int columns = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int rows = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int perApp = argc > 3 ? std::atoi(argv[3]) : 999;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  test::TempDir dir;
  FolderEnvironOptions options;
  options.userDataFile = dir / "user.ini";
  const FolderEnvironObj env(dir.path(), options);
  std::string form = GetZmnListFormFolder(env);
  if (columns > 0) {
    env.AddFileName(form, "THIN.FMT");
    test::WriteFileBytes(form, ThinColumnsForm(columns, rows));
  } else {
    if (!InstallZmnListForm(env)) return 1;
    env.AddFileName(form, kZmnListStandardForm);
  }
  const std::vector<FolMember> members = bench::MakePrintMembers(env, perApp);
  std::vector<const FolMember*> pointers;
  for (const FolMember& member : members) pointers.push_back(&member);
  const long before = PeakKilobytes();

  QElapsedTimer timer;
  timer.start();
  CPrintMan manager;
  manager.SetEnvObj(env);
  manager.AddPrintData(
      new ZmnListPrint(form, pointers.data(), static_cast<int>(pointers.size()), env), 1);
  const int written = manager.WritePdf(dir / "list.pdf");
  const double seconds = timer.nsecsElapsed() / 1e9;
  if (written) {
    std::printf("%zu drawings, %d columns x %d rows: PDF written\n", pointers.size(), columns,
                rows);
  } else {
    std::printf("%zu drawings, %d columns x %d rows: %s\n", pointers.size(), columns, rows,
                manager.GetLastError().c_str());
  }
  std::printf("  time %.2f s, peak RSS %ld MB (%ld MB before printing)\n", seconds,
              PeakKilobytes() / 1024, before / 1024);
  return 0;
}
