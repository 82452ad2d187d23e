#include "store/store_names.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace vexa::store {

namespace {

std::string Format(const char* pattern, int number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, pattern, number);
  return buffer;
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

int LeadingInt(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace vexa::store
