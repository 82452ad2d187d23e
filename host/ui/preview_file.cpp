#include "host/ui/preview_file.h"

#include <QByteArray>

#include "vexafol/file.h"
#include "vexafol/store_name.h"

namespace vexa {

QImage LoadPreview(const std::string& path) {
  File file;
  if (!file.Open(ResolveStoreName(path), File::Mode::ReadOnly)) return {};
  uint64_t length = 0;
  if (!file.GetLength(length) || length == 0 || length > kMaxPreviewBytes) return {};
  QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
  // A file that shrank meanwhile gives what is left; the decoder judges it.
  size_t got = 0;
  if (!file.TryRead(bytes.data(), bytes.size(), got)) return {};
  bytes.truncate(static_cast<qsizetype>(got));
  QImage image;
  image.loadFromData(bytes);
  return image;
}

}  // namespace vexa
