#include "select/ui/preview_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QByteArray>

#include <cerrno>

#include "platform/case_lookup.h"
#include "platform/env.h"

namespace vexa {
namespace {

// The whole regular file behind fd, at most kMaxPreviewBytes; empty otherwise.
QByteArray ReadRegularFile(platform::Env& os, int fd) {
  struct stat st;
  if (os.Fstat(fd, st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxPreviewBytes) return {};
  QByteArray bytes(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
  qsizetype got = 0;
  while (got < bytes.size()) {
    const ssize_t n = os.Read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
    if (n == -EINTR) continue;
    if (n < 0) return {};
    if (n == 0) break;  // the file shrank meanwhile: decode what is there
    got += n;
  }
  bytes.truncate(got);
  return bytes;
}

}  // namespace

QImage LoadPreview(const std::string& path) {
  platform::Env& os = platform::CurrentEnv();
  // Non-blocking, so that a FIFO under the preview's name cannot hang the dialog.
  const int fd =
      os.Open(platform::ResolveStoreName(path), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  if (fd < 0) return {};
  const QByteArray bytes = ReadRegularFile(os, fd);
  os.Close(fd);
  QImage image;
  if (!bytes.isEmpty()) image.loadFromData(bytes);
  return image;
}

}  // namespace vexa
