// CFormPrintData in the host's user settings: one key per setting, numbers
// written in their shortest exact form so that they read back unchanged.
#include <charconv>
#include <cmath>
#include <optional>

#include "vexafol/print.h"

namespace vexa {
namespace {

constexpr const char* kDeviceSubSection = "DEVICE";
constexpr int kMaxCopies = 999;
constexpr double kMaxMargin = 100;  // mm

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string FormatNumber(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Reads into out the stored value of key when it lies in [low, high].
bool LoadNumber(const CEnvironObj& env, const std::string& name, const char* key, double low,
                double high, double& out) {
  std::string text;
  if (!env.GetUserDataStr(name, kDeviceSubSection, key, text)) return false;
  const auto value = ParseNumber(text);
  if (value && *value >= low && *value <= high) out = *value;
  return true;
}

bool LoadInt(const CEnvironObj& env, const std::string& name, const char* key, int low, int high,
             int& out) {
  double value = out;
  const bool found = LoadNumber(env, name, key, low, high, value);
  if (value == std::floor(value)) out = static_cast<int>(value);
  return found;
}

// A margin is either "the form's" (stored as -1) or 0 to kMaxMargin.
bool LoadMargin(const CEnvironObj& env, const std::string& name, const char* key, double& out) {
  double value = out;
  const bool found = LoadNumber(env, name, key, -1, kMaxMargin, value);
  out = value < 0 ? -1 : value;
  return found;
}

}  // namespace

int CFormPrintData::LoadPrintData(const CEnvironObj& env, const std::string& name) {
  bool found = false;
  std::string text;
  if (env.GetUserDataStr(name, kDeviceSubSection, "PRINTER", text)) {
    printerName = text;
    found = true;
  }
  if (env.GetUserDataStr(name, kDeviceSubSection, "PAPER", text)) {
    paperName = text;
    found = true;
  }
  found |= LoadInt(env, name, "ORIENTATION", 0, 2, orientation);
  found |= LoadInt(env, name, "COPIES", 1, kMaxCopies, copies);
  found |= LoadMargin(env, name, "MARGIN_LEFT", marginLeft);
  found |= LoadMargin(env, name, "MARGIN_TOP", marginTop);
  found |= LoadMargin(env, name, "MARGIN_RIGHT", marginRight);
  found |= LoadMargin(env, name, "MARGIN_BOTTOM", marginBottom);
  return found ? 1 : 0;
}

int CFormPrintData::SavePrintData(const CEnvironObj& env, const std::string& name) const {
  const std::pair<const char*, std::string> values[] = {
      {"PRINTER", printerName},
      {"PAPER", paperName},
      {"ORIENTATION", std::to_string(orientation)},
      {"COPIES", std::to_string(copies)},
      {"MARGIN_LEFT", FormatNumber(marginLeft < 0 ? -1 : marginLeft)},
      {"MARGIN_TOP", FormatNumber(marginTop < 0 ? -1 : marginTop)},
      {"MARGIN_RIGHT", FormatNumber(marginRight < 0 ? -1 : marginRight)},
      {"MARGIN_BOTTOM", FormatNumber(marginBottom < 0 ? -1 : marginBottom)},
  };
  int stored = 1;
  for (const auto& [key, value] : values) {
    if (!env.SetUserDataStr(name, kDeviceSubSection, key, value)) stored = 0;
  }
  return stored;
}

}  // namespace vexa
