// First cut: the form reader is not built yet and refuses every form.
#include "vexafol/print_form.h"

namespace vexa {

const PrintFormBand* PrintForm::FindBand(int repeatKind) const {
  for (const PrintFormBand& band : bands) {
    if (band.repeatKind == repeatKind) return &band;
  }
  return nullptr;
}

bool ParsePrintForm(const std::string&, const std::string& path, PrintForm&, std::string& error) {
  error = path + ": forms cannot be read yet";
  return false;
}

bool ReadPrintForm(const std::string& path, PrintForm& form, std::string& error) {
  return ParsePrintForm("", path, form, error);
}

}  // namespace vexa
