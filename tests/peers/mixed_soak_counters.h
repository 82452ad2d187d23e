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

/* Who holds one byte: a count of holders, and for the first holder its side and
 * the inode of the lock file it holds the byte in. Two holders of one byte in one
 * file are a double grant the lock files failed to prevent; two holders in two
 * files (the name was deleted and made anew under the first) are told apart by
 * the side of the first holder: a Linux holder whose file a Windows client
 * deleted is the case the library cannot prevent, a Windows holder whose file a
 * Linux user deleted is the library's fault. */
struct MixedSoakByte {
  int32_t holders;
  int32_t firstSide;
  int64_t firstInode;
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
  int32_t padding;
  struct MixedSoakByte drawings[MIXED_SOAK_DRAWINGS + 1];
  struct MixedSoakByte pages[MIXED_SOAK_DRAWINGS + 1][MIXED_SOAK_PAGES];
  int64_t ops[MIXED_SOAK_SIDES][MIXED_SOAK_OPS];
  int64_t doubles[MIXED_SOAK_DOUBLES];
};

/* After a grant: counts the holder in and sorts a double grant. */
static inline void MixedSoakGranted(struct MixedSoakCounters* c, struct MixedSoakByte* b, int side,
                                    int64_t inode) {
  if (__atomic_fetch_add(&b->holders, 1, __ATOMIC_SEQ_CST) == 0) {
    __atomic_store_n(&b->firstSide, side, __ATOMIC_SEQ_CST);
    __atomic_store_n(&b->firstInode, inode, __ATOMIC_SEQ_CST);
    return;
  }
  int kind = MIXED_SOAK_DOUBLE_ONE_FILE;
  if (__atomic_load_n(&b->firstInode, __ATOMIC_SEQ_CST) != inode)
    kind = __atomic_load_n(&b->firstSide, __ATOMIC_SEQ_CST) == MIXED_SOAK_LINUX
               ? MIXED_SOAK_DOUBLE_UNDER_LINUX
               : MIXED_SOAK_DOUBLE_UNDER_WINDOWS;
  __atomic_fetch_add(&c->doubles[kind], 1, __ATOMIC_SEQ_CST);
}

/* Before a release (unlock or close). */
static inline void MixedSoakReleasing(struct MixedSoakByte* b) {
  __atomic_fetch_sub(&b->holders, 1, __ATOMIC_SEQ_CST);
}

static inline void MixedSoakCount(struct MixedSoakCounters* c, int side, int op) {
  __atomic_fetch_add(&c->ops[side][op], 1, __ATOMIC_SEQ_CST);
}

#endif
