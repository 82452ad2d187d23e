#include "store/store_names.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "vexafol/store_layout.h"

namespace vexa::store {

namespace {

// prefix, number in at least three digits, suffix.
std::string Format(const std::string& prefix, int number, const char* suffix = "") {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", number);
  return prefix + digits + suffix;
}

}  // namespace

std::string FolderName(int number) {
  return Format(kDrawingFolderPrefix, number);
}

std::string PageFileName(int page) {
  return Format(kPageFilePrefix, page);
}

std::string PageBmpName(int page) {
  return Format(kPagePreviewPrefix, page, kPagePreviewSuffix);
}

std::string BackupName(int number) {
  return number == 0 ? std::string(kBackupName) : Format(std::string(kBackupName) + ".", number);
}

int LeadingInt(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace vexa::store
