// libFuzzer harness of the form reader and the layout engine: any text is a
// form or a one-line error naming the file, and a form that reads lays out
// a few records without failing.
#include <cstdlib>
#include <string>

#include "vexafol/print.h"

namespace {

// Three records of every repeat kind, with fields of every code.
class AnyData : public vexa::CPrintData {
 public:
  int GetRepeatCount(int, int) override { return 3; }
  signed char GetRecordItem(int, int, int code, int record, int, std::string& text,
                            unsigned long*) override {
    text = std::to_string(code) + "図面" + std::to_string(record);
    return 1;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vexa::PrintForm form;
  std::string error;
  if (!vexa::ParsePrintForm(text, "fuzz.FMT", form, error)) {
    if (error.rfind("fuzz.FMT:", 0) != 0 || error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  AnyData records;
  vexa::PrintLayout layout;
  if (!vexa::LayOutPrintForm(form, records, nullptr, {"現場", "", "2026/12/06"}, layout, error)) {
    std::abort();
  }
  for (const vexa::PrintPage& page : layout.pages) {
    for (const vexa::PrintTextRun& run : page.texts) {
      if (vexa::MeasurePrintText(run.text, run.fontSize) > run.rect.width + 1e-6) std::abort();
    }
  }
  return 0;
}
