// Several processes open, lock, probe, unlock and delete one lock file as fast
// as they can. Shared counters in memory mapped across the forks record, per
// byte, how many processes believe they hold it: it must never exceed one, and
// a granted lock must always sit on the file that the path names (a lock on a
// deleted file would be invisible to everybody who opens the path).
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "vexafol/file.h"

namespace vexa {
namespace {

constexpr int kProcesses = 4;
constexpr int kBytes = 3;
constexpr auto kDuration = std::chrono::milliseconds(800);

struct Ledger {
  std::atomic<int> holders[kBytes];
  std::atomic<int> grants;
  std::atomic<int> doubleHolds;
  std::atomic<int> grantsOnDeletedFiles;
  std::atomic<int> brokenRules;  // a failed own unlock, a granted second lock, ...
  std::atomic<int> deletions;    // the path named no file right after a CloseAndRemove
};

// True while the path names the file open on fd.
bool NamesOpenFile(const std::string& path, int fd) {
  struct stat named, opened;
  return stat(path.c_str(), &named) == 0 && fstat(fd, &opened) == 0 && opened.st_nlink > 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Takes byte n if it can, checks everything a holder may rely on, and lets it go.
void HoldBriefly(File& file, const std::string& path, int n, Ledger& ledger) {
  const auto byte = static_cast<uint64_t>(n);
  if (!file.LockRange(byte, 1)) return;
  ledger.grants++;
  if (ledger.holders[n].fetch_add(1) != 0) ledger.doubleHolds++;
  if (!NamesOpenFile(path, file.fd())) ledger.grantsOnDeletedFiles++;
  if (file.LockRange(byte, 1)) ledger.brokenRules++;
  sched_yield();
  ledger.holders[n].fetch_sub(1);
  if (!file.UnlockRange(byte, 1)) ledger.brokenRules++;
}

// Stretches the steps of open and close, as a loaded machine or a network file
// system does, so that the processes really interleave inside them.
class SlowEnv : public platform::Env {
 public:
  explicit SlowEnv(unsigned seed) : random_(seed) {}
  int Open(const std::string& path, int flags, mode_t mode) override {
    const int fd = Env::Open(path, flags, mode);
    Pause();
    return fd;
  }
  int Lock(int fd, int command, struct flock& lock) override {
    const int rc = Env::Lock(fd, command, lock);
    if (lock.l_start == static_cast<off_t>(File::kSentinelOffset)) Pause();
    return rc;
  }

 private:
  void Pause() { usleep(static_cast<useconds_t>(random_() % 100)); }
  std::minstd_rand random_;
};

int Worker(const std::string& path, Ledger& ledger, unsigned seed) {
  std::minstd_rand random(seed);
  SlowEnv slow(seed);
  platform::ScopedEnv scoped(slow);
  const auto deadline = std::chrono::steady_clock::now() + kDuration;
  File file;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!file.Open(path, File::Mode::ReadWrite)) {
      // Only a deleter that kept the file through every attempt may stop an open.
      if (file.LastError() != EAGAIN && file.LastError() != EACCES) ledger.brokenRules++;
      continue;
    }
    if (!file.SetLength(kBytes)) ledger.brokenRules++;
    const int n = static_cast<int>(random() % kBytes);
    HoldBriefly(file, path, n, ledger);
    HoldBriefly(file, path, (n + 1) % kBytes, ledger);  // the probe of a neighbour
    if (random() % 2 == 0) {
      file.Close();
      continue;
    }
    file.CloseAndRemove();
    struct stat named;
    if (stat(path.c_str(), &named) != 0) ledger.deletions++;
  }
  return 0;
}

TEST(FileRace, NoByteHasTwoHoldersAndNoLockSitsOnADeletedFile) {
  test::TempDir dir;
  const std::string path = dir / "CADAPP.LOC";
  void* shared =
      mmap(nullptr, sizeof(Ledger), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(shared, MAP_FAILED);
  Ledger& ledger = *new (shared) Ledger{};

  std::vector<std::unique_ptr<test::ChildProcess>> workers;
  for (int i = 0; i < kProcesses; ++i)
    workers.push_back(std::make_unique<test::ChildProcess>(
        [&, i] { return Worker(path, ledger, 17u + static_cast<unsigned>(i)); }));
  for (auto& worker : workers) EXPECT_EQ(worker->Wait(), 0);

  EXPECT_EQ(ledger.doubleHolds.load(), 0);
  EXPECT_EQ(ledger.grantsOnDeletedFiles.load(), 0);
  EXPECT_EQ(ledger.brokenRules.load(), 0);
  // The run really exercised both locking and deleting.
  EXPECT_GT(ledger.grants.load(), 100);
  EXPECT_GT(ledger.deletions.load(), 0);
  munmap(shared, sizeof(Ledger));
}

}  // namespace
}  // namespace vexa
