/* The counters that the mixed soak (bench/mixed_soak.cpp) shares with its
 * Windows clients (tests/peers/win_lock_peer.c under Wine): one file mapped
 * by both sides, MAP_SHARED on Linux and CreateFileMapping/MapViewOfFile
 * under Wine (which maps a file mapping with mmap MAP_SHARED too). Plain C,
 * fixed-width fields, updated only through the compiler's __atomic builtins,
 * which are the same lock-prefixed instructions on both sides. */
#ifndef VEXAFOL_TESTS_PEERS_MIXED_SOAK_COUNTERS_H
#define VEXAFOL_TESTS_PEERS_MIXED_SOAK_COUNTERS_H

#include <stdint.h>

#define MIXED_SOAK_MAGIC 0x56584d53 /* "VXMS" */
#define MIXED_SOAK_DRAWINGS 8       /* drawings 1 to 8: few, so that users meet often */
#define MIXED_SOAK_PAGES 4          /* pages 0 to 3 of each */

enum MixedSoakSide { MIXED_SOAK_LINUX = 0, MIXED_SOAK_WINDOWS = 1, MIXED_SOAK_SIDES = 2 };

enum MixedSoakOp {
  MIXED_SOAK_DRAWING_GRANTED,
  MIXED_SOAK_DRAWING_REFUSED,
  MIXED_SOAK_PAGE_GRANTED,
  MIXED_SOAK_PAGE_REFUSED,
  MIXED_SOAK_PROBE,
  MIXED_SOAK_UNLOCK,
  MIXED_SOAK_CLOSE,
  MIXED_SOAK_DELETED, /* a last-user delete removed a lock file */
  MIXED_SOAK_OPS
};

#define MIXED_SOAK_USERS 80 /* Linux users first, then Windows clients */

/* Who holds one byte: for each user, 0 or (inode << 1) | 1 of the lock file it
 * holds the byte in. Two holders of one byte in one file are a double grant the
 * locks failed to prevent. Two holders in two files mean that one of the files
 * was deleted under its holder and the name made anew: the holder of the file
 * the name no longer stands for is the one it happened to. A Linux holder's file
 * deleted by a Windows client is the case the library cannot prevent; a Windows
 * holder's file can only have been deleted by a Linux user (Windows clients
 * refuse each other's deletes), which is the library's fault. An inode is not
 * reused while a handle keeps it open. */
struct MixedSoakByte {
  int64_t heldIn[MIXED_SOAK_USERS];
};

enum MixedSoakDouble {
  MIXED_SOAK_DOUBLE_ONE_FILE,      /* both hold the byte in the same file */
  MIXED_SOAK_DOUBLE_UNDER_WINDOWS, /* a Windows holder's file was replaced */
  MIXED_SOAK_DOUBLE_UNDER_LINUX,   /* a Linux holder's file was replaced */
  MIXED_SOAK_DOUBLES
};

struct MixedSoakCounters {
  int32_t magic;
  int32_t stop; /* set by the soak when its time is up */
  int32_t windowsClientsRunning;
  int32_t linuxUsers; /* users below this index are Linux users */
  struct MixedSoakByte drawings[MIXED_SOAK_DRAWINGS + 1];
  struct MixedSoakByte pages[MIXED_SOAK_DRAWINGS + 1][MIXED_SOAK_PAGES];
  int64_t ops[MIXED_SOAK_SIDES][MIXED_SOAK_OPS];
  int64_t doubles[MIXED_SOAK_DOUBLES];
  int64_t linuxLocksLost; /* Linux users' locks gone with a file deleted under them */
};

static inline int MixedSoakIsLinux(const struct MixedSoakCounters* c, int user) {
  return user < c->linuxUsers;
}

/* After user's grant of b in the file with that inode, while the name stands
 * for the file with inode current (-1: none): notes the holder and sorts a
 * double grant (the worst kind, once per grant). */
static inline void MixedSoakGranted(struct MixedSoakCounters* c, struct MixedSoakByte* b, int user,
                                    int64_t inode, int64_t current) {
  const int64_t mine = (inode << 1) | 1;
  __atomic_store_n(&b->heldIn[user], mine, __ATOMIC_SEQ_CST);
  int kind = MIXED_SOAK_DOUBLES;
  for (int other = 0; other < MIXED_SOAK_USERS; ++other) {
    const int64_t theirs = __atomic_load_n(&b->heldIn[other], __ATOMIC_SEQ_CST);
    if (other == user || theirs == 0) continue;
    int found = MIXED_SOAK_DOUBLE_ONE_FILE;
    if (theirs != mine) {
      const int victim = inode != current ? user : other;
      found = MixedSoakIsLinux(c, victim) ? MIXED_SOAK_DOUBLE_UNDER_LINUX
                                          : MIXED_SOAK_DOUBLE_UNDER_WINDOWS;
    }
    if (found < kind) kind = found;
  }
  if (kind != MIXED_SOAK_DOUBLES) __atomic_fetch_add(&c->doubles[kind], 1, __ATOMIC_SEQ_CST);
}

/* Before user's release of b (unlock or close). */
static inline void MixedSoakReleasing(struct MixedSoakByte* b, int user) {
  __atomic_store_n(&b->heldIn[user], 0, __ATOMIC_SEQ_CST);
}

static inline void MixedSoakCount(struct MixedSoakCounters* c, int side, int op) {
  __atomic_fetch_add(&c->ops[side][op], 1, __ATOMIC_SEQ_CST);
}

#endif
