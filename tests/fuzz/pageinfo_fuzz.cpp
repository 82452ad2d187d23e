// libFuzzer harness of the page information reader: any bytes give 0 or 1 or
// a FileException, names always end with NUL, the caption is never longer
// than the input, and the file position stays inside the file.
#include <cstdlib>

#include "tests/fuzz/fuzz_file.h"
#include "vexafol/fileformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::File* opened = vexa::fuzz::FileWith("page.bin", data, size);
  if (!opened) return 0;
  vexa::File& file = *opened;
  vexa::VexaFilePageInfo info;
  int result = 0;
  try {
    result = vexa::ReadPageFileInfo(file, info);
  } catch (const vexa::FileException&) {
    return 0;
  }
  if (result != 0 && result != 1) std::abort();
  if (info.caption.size() > size || file.Seek(0, vexa::File::current) > size) std::abort();
  if (info.version >= 2 && (info.name[259] != '\0' || info.subName[259] != '\0')) std::abort();
  return 0;
}
