// The selection dialog's per-user settings: decimal values under section
// "VEXA", sub-section "FILEDLG" of the host's user data.
#pragma once

#include <map>
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

// Grid column widths the user dragged, in pixels by item id, stored as
// "COLWIDTH<id>" for the ids 0 to itemIds - 1; 0 stands for "not dragged".
std::map<int, int> ReadColumnWidths(const CEnvironObj& env, int itemIds);
void WriteColumnWidths(const CEnvironObj& env, const std::map<int, int>& widths, int itemIds);

}  // namespace vexa
