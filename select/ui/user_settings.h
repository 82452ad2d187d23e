// The selection dialog's per-user settings: decimal values under section
// "VEXA", sub-section "FILEDLG" of the host's user data.
#pragma once

#include <string>

namespace vexa {

class CEnvironObj;

inline constexpr const char* kUserSection = "VEXA";
inline constexpr const char* kUserSubSection = "FILEDLG";

// Reads key; when it is stored, value becomes its decimal value (leading
// blanks and a sign allowed, text after the digits ignored, no digits giving
// 0, as atoi reads it) and the result is true. Otherwise value is untouched.
bool ReadUserInt(const CEnvironObj& env, const std::string& key, int& value);
// Stores value under key as "%d".
void WriteUserInt(const CEnvironObj& env, const std::string& key, int value);

}  // namespace vexa
