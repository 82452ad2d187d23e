// The first-page preview of a drawing, read from the store.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>

namespace vexa {

// Previews larger than this are not read (a store's page bitmaps are a few
// hundred kilobytes).
inline constexpr uint64_t kMaxPreviewBytes = uint64_t{64} << 20;

// The picture in the file at path, or a null image when the file is missing,
// is larger than kMaxPreviewBytes, cannot be read or holds no picture. The
// name is matched as every store name is: a "PAGE000.BMP" copied from Windows
// is found for "page000.bmp". The bytes are read with the store's File class
// (through the platform seam), then decoded.
QImage LoadPreview(const std::string& path);

}  // namespace vexa
