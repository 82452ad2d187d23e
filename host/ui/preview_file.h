// The preview pictures of a drawing's pages, read from the store.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>

namespace vexa {

// Previews larger than this are not read (a store's page bitmaps are a few
// hundred kilobytes).
inline constexpr uint64_t kMaxPreviewBytes = uint64_t{64} << 20;

// The picture in the file at path, or a null image when the file is missing,
// is larger than maxBytes (at most kMaxPreviewBytes), cannot be read or holds
// no picture. The
// name is matched as every store name is: a "PAGE000.BMP" copied from Windows
// is found for "page000.bmp". The bytes are read with the store's File class
// (through the platform seam), then decoded.
QImage LoadPreview(const std::string& path, uint64_t maxBytes = kMaxPreviewBytes);

}  // namespace vexa
