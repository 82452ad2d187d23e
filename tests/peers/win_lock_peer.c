/* A Windows client of a drawing store's lock files (win_lock_files.h), driven
 * by commands so that a script or a test can play a Windows user of the store
 * against Linux users. A test tool, built with mingw-w64 and run under Wine
 * (scripts/wine-peer-check.sh, bench/mixed_soak.cpp).
 *
 * Commands, one per argument, then (with no arguments, or "-" as the last
 * one) one per line of standard input; each prints one result line:
 *   open FILE          -> "open ok" | "open open-failed ERR"
 *   lock FILE N        -> "lock granted" | "lock refused ERR"
 *   probe FILE N       -> "probe free" | "probe locked ERR"
 *   unlock FILE N      -> "unlock ok" | "unlock failed ERR"
 *   scan FILE          -> "scan free" | "scan locked ERR" (ReadFile of bytes 0-499)
 *   close FILE         -> "close deleted" | "close kept ERR" | "close not-open"
 *   exists FILE        -> "exists yes" | "exists no"
 *   inode FILE         -> "inode N" (file index of the open handle)
 *   hold-seconds S     -> "held S"
 *   soak COUNTERS APPFOLDER SECONDS USER -> "soak done OPS" (see Soak below)
 * FILE is a Windows path or a Unix path (/tmp/x is Z:\tmp\x). ERR is
 * GetLastError(): 33 ERROR_LOCK_VIOLATION, 32 ERROR_SHARING_VIOLATION. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "mixed_soak_counters.h"
#include "win_lock_files.h"

/* One Windows user in the mixed soak: random drawing locks (the byte, then the
 * page scan, as the lock service does), page locks, probes, unlocks and
 * close-and-delete of all its lock files, on drawings 1 to MIXED_SOAK_DRAWINGS
 * of one application folder, every grant and release counted in the mapped
 * counters. Runs until the soak sets stop or the seconds are over. */
struct SoakUser {
  struct MixedSoakCounters* c;
  char appFolder[MAX_PATH];
  BOOL drawingHeld[MIXED_SOAK_DRAWINGS + 1];
  BOOL pageHeld[MIXED_SOAK_DRAWINGS + 1][MIXED_SOAK_PAGES];
  int user; /* index in the counters */
  unsigned random;
  long ops;
};

static unsigned Pick(struct SoakUser* u, unsigned below) {
  u->random = u->random * 1103515245u + 12345u;
  return (u->random >> 16) % below;
}

static void LockPath(const struct SoakUser* u, int n, char* path) {
  if (n == 0)
    snprintf(path, MAX_PATH, "%s\\CADAPP.LOC", u->appFolder);
  else
    snprintf(path, MAX_PATH, "%s\\FOL%03d.LOC", u->appFolder, n);
}

static void SoakLockDrawing(struct SoakUser* u, int n) {
  char path[MAX_PATH], pages[MAX_PATH];
  LockPath(u, 0, path);
  LockPath(u, n, pages);
  struct LockFileHandle* file = OpenLockFile(path);
  BOOL granted = file && LockByte(file, n);
  if (granted && GetFileAttributesA(pages) != INVALID_FILE_ATTRIBUTES) {
    struct LockFileHandle* pageFile = OpenLockFile(pages);
    if (!pageFile || !ScanFree(pageFile)) {
      UnlockByte(file, n);
      granted = FALSE;
    }
  }
  MixedSoakCount(u->c, MIXED_SOAK_WINDOWS,
                 granted ? MIXED_SOAK_DRAWING_GRANTED : MIXED_SOAK_DRAWING_REFUSED);
  if (!granted) return;
  u->drawingHeld[n] = TRUE;
  MixedSoakGranted(u->c, &u->c->drawings[n], u->user, InodeOf(file), InodeAt(path));
}

static void SoakLockPage(struct SoakUser* u, int n, int page) {
  char path[MAX_PATH];
  LockPath(u, n, path);
  struct LockFileHandle* file = OpenLockFile(path);
  const BOOL granted = file && LockByte(file, page);
  MixedSoakCount(u->c, MIXED_SOAK_WINDOWS,
                 granted ? MIXED_SOAK_PAGE_GRANTED : MIXED_SOAK_PAGE_REFUSED);
  if (!granted) return;
  u->pageHeld[n][page] = TRUE;
  MixedSoakGranted(u->c, &u->c->pages[n][page], u->user, InodeOf(file), InodeAt(path));
}

static void SoakProbe(struct SoakUser* u, int n) {
  char path[MAX_PATH];
  LockPath(u, 0, path);
  struct LockFileHandle* file = OpenLockFile(path);
  if (file && LockByte(file, n)) UnlockByte(file, n);
  MixedSoakCount(u->c, MIXED_SOAK_WINDOWS, MIXED_SOAK_PROBE);
}

static void SoakUnlock(struct SoakUser* u, int n, int page) {
  char path[MAX_PATH];
  BOOL* held = page < 0 ? &u->drawingHeld[n] : &u->pageHeld[n][page];
  if (!*held) return;
  *held = FALSE;
  MixedSoakReleasing(page < 0 ? &u->c->drawings[n] : &u->c->pages[n][page], u->user);
  LockPath(u, page < 0 ? 0 : n, path);
  struct LockFileHandle* file = FindLockFile(path);
  if (file) UnlockByte(file, page < 0 ? n : page);
  MixedSoakCount(u->c, MIXED_SOAK_WINDOWS, MIXED_SOAK_UNLOCK);
}

/* Every lock released and every lock file closed, each deleted as its last user. */
static void SoakCloseAll(struct SoakUser* u) {
  for (int n = 1; n <= MIXED_SOAK_DRAWINGS; ++n) {
    if (u->drawingHeld[n]) MixedSoakReleasing(&u->c->drawings[n], u->user);
    u->drawingHeld[n] = FALSE;
    for (int p = 0; p < MIXED_SOAK_PAGES; ++p) {
      if (u->pageHeld[n][p]) MixedSoakReleasing(&u->c->pages[n][p], u->user);
      u->pageHeld[n][p] = FALSE;
    }
  }
  for (int n = 0; n <= MIXED_SOAK_DRAWINGS; ++n) {
    char path[MAX_PATH];
    LockPath(u, n, path);
    struct LockFileHandle* file = FindLockFile(path);
    if (file && CloseAndDelete(file)) MixedSoakCount(u->c, MIXED_SOAK_WINDOWS, MIXED_SOAK_DELETED);
  }
  MixedSoakCount(u->c, MIXED_SOAK_WINDOWS, MIXED_SOAK_CLOSE);
}

static void SoakStep(struct SoakUser* u) {
  const int n = 1 + (int)Pick(u, MIXED_SOAK_DRAWINGS);
  const int page = (int)Pick(u, MIXED_SOAK_PAGES);
  const unsigned roll = Pick(u, 100);
  if (roll < 25)
    SoakLockDrawing(u, n);
  else if (roll < 45)
    SoakLockPage(u, n, page);
  else if (roll < 60)
    SoakProbe(u, n);
  else if (roll < 90)
    SoakUnlock(u, n, roll < 75 ? -1 : page);
  else
    SoakCloseAll(u);
  ++u->ops;
}

static void Soak(const char* countersPath, const char* appFolder, long seconds, int user) {
  HANDLE file = CreateFileA(countersPath, GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  HANDLE mapping = file == INVALID_HANDLE_VALUE
                       ? NULL
                       : CreateFileMappingA(file, NULL, PAGE_READWRITE, 0,
                                            sizeof(struct MixedSoakCounters), NULL);
  struct MixedSoakCounters* c =
      mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof *c) : NULL;
  if (!c || c->magic != MIXED_SOAK_MAGIC || user < c->linuxUsers || user >= MIXED_SOAK_USERS) {
    printf("soak failed %lu (no counters)\n", (unsigned long)GetLastError());
    return;
  }
  static struct SoakUser u;
  memset(&u, 0, sizeof u);
  u.c = c;
  snprintf(u.appFolder, sizeof u.appFolder, "%s", appFolder);
  u.user = user;
  u.random = 7919u * (unsigned)user + 1u;
  __atomic_fetch_add(&c->windowsClientsRunning, 1, __ATOMIC_SEQ_CST);
  const ULONGLONG end = GetTickCount64() + (ULONGLONG)seconds * 1000u;
  while (!__atomic_load_n(&c->stop, __ATOMIC_SEQ_CST) && GetTickCount64() < end) SoakStep(&u);
  SoakCloseAll(&u);
  __atomic_fetch_sub(&c->windowsClientsRunning, 1, __ATOMIC_SEQ_CST);
  printf("soak done %ld\n", u.ops);
  UnmapViewOfFile(c);
  CloseHandle(mapping);
  CloseHandle(file);
}

static void Result(const char* command, BOOL ok, const char* okText, const char* failText) {
  if (ok)
    printf("%s %s\n", command, okText);
  else
    printf("%s %s %lu\n", command, failText, (unsigned long)GetLastError());
}

static void Run(char* line) {
  char* words[6] = {0};
  int count = 0;
  for (char* word = strtok(line, " \t\r\n"); word && count < 6; word = strtok(NULL, " \t\r\n"))
    words[count++] = word;
  if (count == 0) return;
  const char* command = words[0];
  char path[MAX_PATH] = "";
  if (count > 1) WindowsPath(words[1], path);
  const long n = count > 2 ? strtol(words[2], NULL, 10) : 0;
  struct LockFileHandle* file = NULL;
  if (strcmp(command, "hold-seconds") == 0 && count == 2) {
    Sleep((DWORD)(strtol(words[1], NULL, 10) * 1000));
    printf("held %s\n", words[1]);
  } else if (strcmp(command, "exists") == 0 && count == 2) {
    printf("exists %s\n", GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? "no" : "yes");
  } else if (strcmp(command, "close") == 0 && count == 2) {
    if ((file = FindLockFile(path)))
      Result("close", CloseAndDelete(file), "deleted", "kept");
    else
      printf("close not-open\n");
  } else if (strcmp(command, "soak") == 0 && count == 5) {
    char appFolder[MAX_PATH];
    WindowsPath(words[2], appFolder);
    Soak(path, appFolder, strtol(words[3], NULL, 10), (int)strtol(words[4], NULL, 10));
  } else if (count >= 2 && count <= 3 && !(file = OpenLockFile(path))) {
    Result(command, FALSE, "", "open-failed");
  } else if (strcmp(command, "open") == 0 && count == 2) {
    printf("open ok\n");
  } else if (strcmp(command, "inode") == 0 && count == 2) {
    printf("inode %lld\n", (long long)InodeOf(file));
  } else if (strcmp(command, "scan") == 0 && count == 2) {
    Result("scan", ScanFree(file), "free", "locked");
  } else if (strcmp(command, "lock") == 0 && count == 3) {
    Result("lock", LockByte(file, n), "granted", "refused");
  } else if (strcmp(command, "unlock") == 0 && count == 3) {
    Result("unlock", UnlockByte(file, n), "ok", "failed");
  } else if (strcmp(command, "probe") == 0 && count == 3) {
    const BOOL free = LockByte(file, n);
    if (free) UnlockByte(file, n);
    Result("probe", free, "free", "locked");
  } else {
    printf("unknown command %s\n", command);
  }
  fflush(stdout);
}

int main(int argc, char** argv) {
  char line[4 * MAX_PATH];
  _setmode(_fileno(stdout), _O_BINARY);  // "\n", not "\r\n", for the scripts that read it
  for (int i = 1; i < argc && strcmp(argv[i], "-") != 0; ++i) {
    snprintf(line, sizeof line, "%s", argv[i]);
    Run(line);
  }
  if (argc > 1 && strcmp(argv[argc - 1], "-") != 0) return 0;
  while (fgets(line, sizeof line, stdin)) Run(line);
  return 0;
}
