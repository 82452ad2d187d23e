// What owner notes and the live lock survey cost.
//
// Notes: a drawing lock taken and released (LockZmn + UnLockZmn, which write
// and drop the owner note) against the same pair when the note folder cannot
// be used (a file planted under its name: the note is left out after one
// failed open), and against one small-file write by hand (create, write,
// close, remove), locally (CPU time) and on a share played by a fixed delay
// before every system call (wall time; calls ~ time / delay).
//
// Survey: VexaFolderList::RefreshLockStates on 999 drawings of which another
// process holds one in ten (half of them by a page), the re-survey the
// selection dialog makes on its timer; its CPU time per call and the share of
// one core at the dialog's period.
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bench/bench_clock.h"
#include "bench/bench_store.h"
#include "platform/env.h"
#include "vexafol/fileformat.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/senyou.h"

namespace vexa {
namespace {

constexpr int kDrawings = 999;
constexpr int kLockRounds = 2000;
constexpr int kShareRounds = 20;
constexpr long kShareDelayMicroseconds = 500;
constexpr int kSurveyRounds = 50;
constexpr double kDialogPeriodMs = 2000;

// Every call the notes and the lock files make waits one round trip first.
class ShareEnv : public platform::Env {
 public:
  int Open(const std::string& p, int f, mode_t m) override { return Wait(), Env::Open(p, f, m); }
  int Close(int fd) override { return Wait(), Env::Close(fd); }
  ssize_t Write(int fd, const void* b, size_t n) override { return Wait(), Env::Write(fd, b, n); }
  ssize_t PRead(int fd, void* b, size_t n, off_t o) override {
    return Wait(), Env::PRead(fd, b, n, o);
  }
  int Fstat(int fd, struct stat& st) override { return Wait(), Env::Fstat(fd, st); }
  int Stat(const std::string& p, struct stat& st) override { return Wait(), Env::Stat(p, st); }
  int Lstat(const std::string& p, struct stat& st) override { return Wait(), Env::Lstat(p, st); }
  int Lock(int fd, int c, struct flock& l) override { return Wait(), Env::Lock(fd, c, l); }
  int Unlink(const std::string& p) override { return Wait(), Env::Unlink(p); }
  int Fchmod(int fd, mode_t m) override { return Wait(), Env::Fchmod(fd, m); }
  int OpenBeneath(int d, const std::string& r, int f, mode_t m) override {
    return Wait(), Env::OpenBeneath(d, r, f, m);
  }
  int UnlinkAt(int d, const std::string& n, int f) override {
    return Wait(), Env::UnlinkAt(d, n, f);
  }
  int RenameAt(int fd, const std::string& f, int td, const std::string& t) override {
    return Wait(), Env::RenameAt(fd, f, td, t);
  }
  int StatAt(int d, const std::string& n, struct stat& st) override {
    return Wait(), Env::StatAt(d, n, st);
  }

 private:
  static void Wait() {
    const timespec delay{0, kShareDelayMicroseconds * 1000};
    nanosleep(&delay, nullptr);
  }
};

using bench::CpuMs;
using bench::WallMs;

double PerRound(double (*clock)(), int rounds, const std::function<void()>& round) {
  const double start = clock();
  for (int i = 0; i < rounds; ++i) round();
  return (clock() - start) / rounds;
}

std::string DrawingPath(const CEnvironObj& env, int n) {
  char name[16];
  std::snprintf(name, sizeof name, "/Fol.%03d", n);
  return GetSenyouPath(env, 1) + name;
}

void MakeStore(const CEnvironObj& env, const std::string& marker) {
  if (std::filesystem::exists(marker)) return;
  for (int n = 1; n <= kDrawings; ++n) {
    const std::string folder = DrawingPath(env, n);
    std::filesystem::create_directories(folder);
    VexaFileHeader header;
    header.version = 2;
    header.SetTitle("図面 " + std::to_string(n));
    header.pageCount = 2;
    header.createTime = UnixToFileTime(1600000000 + n);
    header.updateTime = header.createTime;
    std::ofstream(folder + "/INDEX.VXF", std::ios::binary)
        .write(reinterpret_cast<const char*>(&header), sizeof header);
  }
  std::ofstream(marker) << "complete\n";
}

// The lock pair, the pair without a usable note folder, one small-file write.
struct LockCosts {
  double withNote, withoutNote, smallFile;
};

LockCosts MeasureLocks(const CEnvironObj& env, const std::string& folder, double (*clock)(),
                       int rounds) {
  const std::string drawing = DrawingPath(env, 7);
  VexaFolderLock service(&env);
  service.IsLockZmn(drawing.c_str());  // the lock file open, as in a running host
  LockCosts costs{};
  const auto pair = [&] {
    if (service.LockZmn(drawing.c_str()) != 1) std::exit(1);
    service.UnLockZmn(drawing.c_str());
  };
  costs.withNote = PerRound(clock, rounds, pair);
  platform::Env& sys = platform::CurrentEnv();
  costs.smallFile = PerRound(clock, rounds, [&] {
    const std::string path = folder + "/small.tmp";
    const int fd = sys.Open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const char text[160] = {};
    sys.Write(fd, text, sizeof text);
    sys.Close(fd);
    sys.Unlink(path);
  });
  // A second service: the first keeps its note folder open.
  VexaFolderLock blocked(&env);
  std::filesystem::rename(folder + "/LOCKNOTE", folder + "/LOCKNOTE.kept");
  std::ofstream(folder + "/LOCKNOTE") << "";
  blocked.IsLockZmn(drawing.c_str());
  costs.withoutNote = PerRound(clock, rounds, [&] {
    if (blocked.LockZmn(drawing.c_str()) != 1) std::exit(1);
    blocked.UnLockZmn(drawing.c_str());
  });
  std::filesystem::remove(folder + "/LOCKNOTE");
  std::filesystem::rename(folder + "/LOCKNOTE.kept", folder + "/LOCKNOTE");
  return costs;
}

// Another process holding drawing 10, 30, 50, ... and page 0 of 20, 40, ...
pid_t HoldOneInTen(const CEnvironObj& env, int ready[2], int release[2]) {
  const pid_t pid = fork();
  if (pid != 0) {
    close(ready[1]);
    close(release[0]);
    return pid;
  }
  close(ready[0]);
  close(release[1]);
  VexaFolderLock lock(&env);
  for (int n = 10; n <= kDrawings; n += 10) {
    if (n % 20 == 10)
      lock.LockZmn(DrawingPath(env, n).c_str());
    else
      lock.LockPage(DrawingPath(env, n).c_str(), 0);
  }
  char byte = 1;
  if (write(ready[1], &byte, 1) != 1) _exit(2);
  while (read(release[0], &byte, 1) > 0) {
  }
  _exit(0);
}

}  // namespace
}  // namespace vexa

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  using namespace vexa;
  const std::string root = bench::ScratchFolder("vexafol-presence-bench");
  std::filesystem::create_directories(root);
  const FolderEnvironObj env(root);
  MakeStore(env, root + "/complete");
  const std::string folder = GetSenyouPath(env, 1);

  const LockCosts local = MeasureLocks(env, folder, CpuMs, kLockRounds);
  std::printf(
      "lock + unlock, local (CPU): %.1f us with the note, %.1f us without; "
      "one small-file write %.1f us\n",
      local.withNote * 1e3, local.withoutNote * 1e3, local.smallFile * 1e3);
  {
    ShareEnv share;
    platform::ScopedEnv scoped(share);
    const LockCosts remote = MeasureLocks(env, folder, WallMs, kShareRounds);
    const double trip = kShareDelayMicroseconds / 1e3;
    std::printf(
        "lock + unlock, share (%ld us per call): %.2f ms with the note (%.0f calls), "
        "%.2f ms without (%.0f calls); note %.2f ms = %.1f small-file writes "
        "(%.2f ms, %.0f calls)\n",
        kShareDelayMicroseconds, remote.withNote, remote.withNote / trip, remote.withoutNote,
        remote.withoutNote / trip, remote.withNote - remote.withoutNote,
        (remote.withNote - remote.withoutNote) / remote.smallFile, remote.smallFile,
        remote.smallFile / trip);
  }

  int ready[2], release[2];
  if (pipe(ready) != 0 || pipe(release) != 0) return 1;
  const pid_t holder = HoldOneInTen(env, ready, release);
  char byte;
  if (read(ready[0], &byte, 1) != 1) return 1;
  VexaFolderList list(env);
  list.Load(1, 0);
  int locked = 0;
  for (int i = 0; i < list.GetFolderNum(); ++i) locked += list.GetFolderMember(i)->lockState != 0;
  list.RefreshLockStates();
  const double survey = PerRound(CpuMs, kSurveyRounds, [&] { list.RefreshLockStates(); });
  std::printf(
      "re-survey of %d drawings, %d in use: %.2f ms CPU; every %.0f ms that is %.3f%% "
      "of one core\n",
      list.GetFolderNum(), locked, survey, kDialogPeriodMs, survey / kDialogPeriodMs * 100);
  close(release[1]);
  waitpid(holder, nullptr, 0);
  return 0;
}
