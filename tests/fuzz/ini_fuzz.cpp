// libFuzzer harness of the INI reader and writer: any file content reads
// without failing, and a key that was written reads back as written.
#include <cstdlib>

#include "platform/ini.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vexa::platform::GetProfileString;
  using vexa::platform::WriteProfileString;
  const std::string& path = vexa::fuzz::InputPath("settings.ini");
  if (!vexa::fuzz::WriteInput(path, data, size)) return 0;
  GetProfileString(path, "PC,USER", "PATH", "default");
  if (WriteProfileString("PC,USER", "PATH", "WORK.001\\SITE", path) &&
      GetProfileString(path, "PC,USER", "PATH") != "WORK.001\\SITE")
    std::abort();
  if (WriteProfileString("PC,USER", nullptr, nullptr, path) &&
      GetProfileString(path, "PC,USER", "PATH", "gone") != "gone")
    std::abort();
  return 0;
}
