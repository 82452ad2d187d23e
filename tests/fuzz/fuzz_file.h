// The fuzz input as a file: the readers under test read from files only. One
// file per process, rewritten for every input.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexafol/file.h"

namespace vexa::fuzz {

inline const std::string& InputPath(const char* name) {
  static const std::string path = [&] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/vexafol-fuzz-" +
           std::to_string(getpid()) + "-" + name;
  }();
  return path;
}

// Replaces the file's content with data; false when it cannot be written.
inline bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, data + written, size - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  close(fd);
  return written == size;
}

// A vexa::File on a file holding exactly data, positioned at its start; the
// one handle is kept open between inputs, so that an input costs no open.
inline vexa::File* FileWith(const char* name, const uint8_t* data, size_t size) {
  static vexa::File file;
  if (!file.IsOpen() && !file.Open(InputPath(name), vexa::File::Mode::ReadWrite)) return nullptr;
  uint64_t position = 0;
  if (!file.SetLength(0) || !file.TrySeek(0, vexa::File::begin, position) ||
      !file.TryWrite(data, size) || !file.TrySeek(0, vexa::File::begin, position))
    return nullptr;
  return &file;
}

}  // namespace vexa::fuzz
