// libFuzzer harness of the drawing header reader and the header's text
// accessors: min(size, 824) bytes are read, every text converts.
#include <algorithm>
#include <cstdlib>

#include "tests/fuzz/fuzz_file.h"
#include "vexafol/fileformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::File* opened = vexa::fuzz::FileWith("index.vxf", data, size);
  if (!opened) return 0;
  vexa::File& file = *opened;
  vexa::VexaFileHeader header;
  try {
    if (vexa::ReadHeadFile(file, header) != 1) std::abort();
  } catch (const vexa::FileException&) {
    return 0;
  }
  if (file.Seek(0, vexa::File::current) != std::min<size_t>(size, sizeof header)) std::abort();
  header.Title();
  header.Memo();
  header.Creator();
  header.Updater();
  return 0;
}
