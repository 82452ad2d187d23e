#include "store/store_names.h"

#include <cstdio>

namespace vexa::store {

namespace {

std::string Format(const char* pattern, int number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, pattern, number);
  return buffer;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FolderName(int number) {
  return Format("Fol.%03d", number);
}

std::string PageFileName(int page) {
  return Format("pagefile.%03d", page);
}

std::string PageBmpName(int page) {
  return Format("page%03d.bmp", page);
}

std::string BackupName(int number) {
  return number == 0 ? std::string(kBackupName) : Format("BKUP.%03d", number);
}

bool NameEqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace vexa::store
