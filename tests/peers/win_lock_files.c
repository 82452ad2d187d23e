#include "win_lock_files.h"

#include <string.h>

#define MAX_OPEN 64

static struct LockFileHandle g_open[MAX_OPEN];

void WindowsPath(const char* given, char* out) {
  size_t n = 0;
  if (given[0] == '/') {
    out[n++] = 'Z';
    out[n++] = ':';
  }
  for (; *given && n + 1 < MAX_PATH; ++given) out[n++] = *given == '/' ? '\\' : *given;
  out[n] = 0;
}

static const char* BaseName(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

struct LockFileHandle* FindLockFile(const char* path) {
  for (int i = 0; i < MAX_OPEN; ++i)
    if (g_open[i].handle && _stricmp(g_open[i].path, path) == 0) return &g_open[i];
  return NULL;
}

struct LockFileHandle* OpenLockFile(const char* path) {
  struct LockFileHandle* file = FindLockFile(path);
  if (file) return file;
  const char* name = BaseName(path);
  const BOOL recycle = _stricmp(name, "LOCK.TMP") == 0;
  const LONG length = recycle ? 1 : _stricmp(name, "CADAPP.LOC") == 0 ? 1000 : 501;
  HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         NULL, recycle ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return NULL;
  if (SetFilePointer(h, length, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(h)) {
    const DWORD error = GetLastError();
    CloseHandle(h);
    SetLastError(error);
    return NULL;
  }
  for (int i = 0; i < MAX_OPEN; ++i) {
    if (!g_open[i].handle) {
      strncpy(g_open[i].path, path, MAX_PATH - 1);
      g_open[i].handle = h;
      return &g_open[i];
    }
  }
  CloseHandle(h);
  SetLastError(ERROR_TOO_MANY_OPEN_FILES);
  return NULL;
}

BOOL LockByte(struct LockFileHandle* file, long n) {
  return LockFile(file->handle, (DWORD)n, 0, 1, 0);
}

BOOL UnlockByte(struct LockFileHandle* file, long n) {
  return UnlockFile(file->handle, (DWORD)n, 0, 1, 0);
}

BOOL ScanFree(struct LockFileHandle* file) {
  static char buffer[500];  // the data are never looked at
  DWORD got = 0;
  if (SetFilePointer(file->handle, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return FALSE;
  if (!ReadFile(file->handle, buffer, sizeof buffer, &got, NULL)) return FALSE;
  if (got != sizeof buffer) {
    SetLastError(ERROR_HANDLE_EOF);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseAndDelete(struct LockFileHandle* file) {
  CloseHandle(file->handle);
  file->handle = NULL;
  return DeleteFileA(file->path);
}

int64_t InodeOf(struct LockFileHandle* file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file->handle, &info)) return -1;
  return ((int64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow;
}

int64_t InodeAt(const char* path) {
  HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return -1;
  struct LockFileHandle probe = {"", h};
  const int64_t inode = InodeOf(&probe);
  CloseHandle(h);
  return inode;
}
