// Building store records byte by byte, as the layout tables give them.
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/temp_dir.h"
#include "vexafol/file.h"

namespace vexa::test {

// A little-endian 32-bit word.
inline std::string Le32(uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// text in a field of size bytes, padded with NULs.
inline std::string Field(const std::string& text, size_t size) {
  std::string out = text.substr(0, size);
  out.resize(size, '\0');
  return out;
}

// A chunk header or closing header of the tagged page layout.
inline std::string Header(uint32_t tag, uint32_t size, uint32_t count) {
  return Le32(tag) + Le32(size) + Le32(count);
}

// A whole chunk: header, payload, closing header.
inline std::string Chunk(uint32_t id, const std::string& payload) {
  return Header(0x10000000 | id, static_cast<uint32_t>(payload.size()), 1) + payload +
         Header(0x20000000 | id, 0, 0);
}

// Writes bytes to a file in dir and opens it read-only.
inline void OpenWith(const TempDir& dir, const std::string& bytes, File& file,
                     const std::string& name = "record.bin") {
  WriteFileBytes(dir / name, bytes);
  file.Close();
  if (!file.Open(dir / name, File::Mode::ReadOnly)) throw std::runtime_error("cannot open fixture");
}

}  // namespace vexa::test
