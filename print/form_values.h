// The values of a form file's keys: numbers, lengths, lists of fields and
// keywords. Each parser throws FormValueError with a message that names what
// was expected; the form reader adds the file and line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vexafol/print_form.h"

namespace vexa::print {

struct FormValueError {
  std::string message;
};

// The comma-separated fields of a value, trimmed. A field in double quotes
// keeps its commas and blanks; "" inside quotes is one quote.
std::vector<std::string> SplitFields(std::string_view value);

// A decimal number (a length in mm or a size in pt) from low to high.
double ParseNumber(const std::string& text, double low, double high, const char* what);
// A whole number, decimal or hexadecimal with "0x", from low to high.
int ParseInteger(const std::string& text, int low, int high, const char* what);
PrintAlign ParseAlign(const std::string& text);
PrintFit ParseFit(const std::string& text);
bool ParseYesNo(const std::string& text);
// "A4" and the other paper names, or "WIDTHxHEIGHT" in mm: the portrait size.
void ParsePaper(const std::string& text, std::string& name, double& width, double& height);

// value without one pair of surrounding double quotes.
std::string Unquote(const std::string& value);
// A length for a message: "277" or "190.5".
std::string Millimetres(double value);

// Equal ignoring ASCII case.
bool SameWord(std::string_view a, std::string_view b);

}  // namespace vexa::print
