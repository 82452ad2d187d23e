#include "host/ui/preview_file.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "vexafol/file.h"
#include "vexafol/store_name.h"

namespace vexa {
namespace {

uint32_t ReadU32(const unsigned char* at) {
  uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

uint16_t ReadU16(const unsigned char* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The common page preview, an uncompressed 24-bit BMP, made an image in
// place: its rows are put top-down and moved onto a 4-byte boundary, and the
// image then uses buffer as its pixels and frees it with itself. This saves
// the decoder's copy, whose fresh memory costs more than the decoding for a
// drawing of a hundred pages. buffer holds size bytes of the file and room
// for 3 more. A null image, buffer untouched and still the caller's, for any
// other file.
QImage AdoptPlainBmp(unsigned char* buffer, size_t size) {
  constexpr size_t kHeaders = 14 + 40;
  if (size < kHeaders || buffer[0] != 'B' || buffer[1] != 'M') return {};
  const size_t offset = ReadU32(buffer + 10);
  const int32_t width = static_cast<int32_t>(ReadU32(buffer + 18));
  const int32_t height = static_cast<int32_t>(ReadU32(buffer + 22));
  if (ReadU32(buffer + 14) < 40 || ReadU16(buffer + 28) != 24 || ReadU32(buffer + 30) != 0) {
    return {};
  }
  if (width <= 0 || width > 65535 || height == 0 || height < -65535 || height > 65535) return {};
  const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (offset > size || stride * rows > size - offset) return {};

  const size_t shift = (4 - offset % 4) % 4;
  if (shift != 0) std::memmove(buffer + shift, buffer, size);
  unsigned char* pixels = buffer + shift + offset;
  if (height > 0) {  // stored bottom-up
    unsigned char* top = pixels;
    unsigned char* bottom = pixels + stride * (rows - 1);
    for (; top < bottom; top += stride, bottom -= stride) {
      std::swap_ranges(top, top + stride, bottom);
    }
  }
  return QImage(pixels, width, static_cast<int>(rows), static_cast<qsizetype>(stride),
                QImage::Format_BGR888, &std::free, buffer);
}

}  // namespace

QImage LoadPreview(const std::string& path, uint64_t maxBytes) {
  File file;
  if (!file.Open(ResolveStoreName(path), File::Mode::ReadOnly)) return {};
  uint64_t length = 0;
  if (!file.GetLength(length) || length == 0 || length > std::min(maxBytes, kMaxPreviewBytes)) {
    return {};
  }
  auto* buffer = static_cast<unsigned char*>(std::malloc(length + 3));
  if (!buffer) return {};
  // A file that shrank meanwhile gives what is left; the decoder judges it.
  size_t got = 0;
  if (file.TryRead(buffer, length, got)) {
    QImage image = AdoptPlainBmp(buffer, got);
    if (!image.isNull()) return image;
    image.loadFromData(QByteArrayView(buffer, static_cast<qsizetype>(got)));
    std::free(buffer);
    return image;
  }
  std::free(buffer);
  return {};
}

}  // namespace vexa
