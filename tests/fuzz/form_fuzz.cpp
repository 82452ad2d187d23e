// libFuzzer harness of the form reader and the layout engine: any text is a
// form or a one-line error naming the file; a form that reads is planned for
// many records, or refused with a one-line error, and its pages are laid out
// one at a time, each within the bound of a page. scripts/fuzz.sh fails any
// single allocation over 64 MiB, so a form cannot make a page that large.
#include <cstdlib>
#include <string>

#include "vexafol/print.h"

namespace {

// 2,000 records of every repeat kind, each with one sub-record, with fields
// of every code and a closing row.
class AnyData : public vexa::CPrintData {
 public:
  int GetRepeatCount(int, int) override { return 2000; }
  int GetSubRecCnt(int, int) override { return 1; }
  signed char GetRecordItem(int, int, int code, int record, int, std::string& text,
                            unsigned long*) override {
    text = std::to_string(code) + "図面" + std::to_string(record);
    return 1;
  }
  int IsAddElement(int) override { return 1; }
  int AddItem(int, int, std::string& text) override {
    text = "合計";
    return 1;
  }
};

bool OneLineAbout(const std::string& error, const std::string& path) {
  return error.rfind(path + ":", 0) == 0 && error.find('\n') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vexa::PrintForm form;
  std::string error;
  if (!vexa::ParsePrintForm(text, "fuzz.FMT", form, error)) {
    if (!OneLineAbout(error, "fuzz.FMT")) std::abort();
    return 0;
  }
  AnyData records;
  vexa::PrintPager pager;
  if (!pager.Plan(form, records, nullptr, {"現場", "", "2026/12/06"}, error)) {
    if (!OneLineAbout(error, "fuzz.FMT")) std::abort();
    return 0;
  }
  if (pager.PageCount() < 1) std::abort();
  // The first and last pages: a full page of rows, and the one with the
  // closing row (the others are laid out the same way).
  vexa::PrintPage page;
  for (int index : {0, pager.PageCount() - 1}) {
    if (!pager.LayOutPage(index, page)) std::abort();
    const size_t runs = page.texts.size() + page.lines.size() + page.boxes.size();
    if (runs > static_cast<size_t>(vexa::kMaxPrintRunsPerPage)) std::abort();
    for (const vexa::PrintTextRun& run : page.texts) {
      if (vexa::MeasurePrintText(run.text, run.fontSize) > run.rect.width + 1e-6) std::abort();
    }
  }
  return 0;
}
