/* The lock files as a Windows program of the CAD suite handles them: opened
 * with CreateFile sharing read and write but not delete and set to their fixed
 * length, one-byte LockFile/UnlockFile, the page scan as a ReadFile of bytes
 * 0-499, CloseHandle and DeleteFile as the last user. Every handle a process
 * opens is kept in one table by path, as the suite keeps its lock files open
 * between calls. */
#ifndef VEXAFOL_TESTS_PEERS_WIN_LOCK_FILES_H
#define VEXAFOL_TESTS_PEERS_WIN_LOCK_FILES_H

#include <stdint.h>
#include <windows.h>

struct LockFileHandle {
  char path[MAX_PATH];
  HANDLE handle;
};

/* A Windows path for a Unix one (/tmp/x becomes Z:\tmp\x); others unchanged. */
void WindowsPath(const char* given, char* out);

/* The open handle of path, or NULL. */
struct LockFileHandle* FindLockFile(const char* path);

/* The open handle of path, opening it first if needed (length by name:
 * CADAPP.LOC 1000 bytes, LOCK.TMP 1 and created truncated, any other 501);
 * NULL with GetLastError() set when it cannot be opened. */
struct LockFileHandle* OpenLockFile(const char* path);

BOOL LockByte(struct LockFileHandle* file, long n);
BOOL UnlockByte(struct LockFileHandle* file, long n);

/* Reads bytes 0-499: FALSE (ERROR_LOCK_VIOLATION) when another handle locks one. */
BOOL ScanFree(struct LockFileHandle* file);

/* CloseHandle, then DeleteFile by the path: TRUE when the file was deleted. */
BOOL CloseAndDelete(struct LockFileHandle* file);

/* The file index (the inode under Wine) of the open handle; -1 if unknown. */
int64_t InodeOf(struct LockFileHandle* file);

/* The file index of the file path names now (opened for no access, sharing
 * everything, and closed again); -1 when there is none. */
int64_t InodeAt(const char* path);

#endif
