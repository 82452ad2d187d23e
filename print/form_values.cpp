// Parsers of form file values.
#include "print/form_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vexa::print {
namespace {

struct Paper {
  const char* name;
  double width;
  double height;
};

constexpr Paper kPapers[] = {
    {"A3", 297, 420}, {"A4", 210, 297},         {"A5", 148, 210},        {"B4", 257, 364},
    {"B5", 182, 257}, {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6},
};

constexpr double kMinPaperSide = 50;    // mm
constexpr double kMaxPaperSide = 2000;  // mm

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string FormatLimit(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string Millimetres(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  std::string text = buffer;
  if (text.size() > 2 && text.substr(text.size() - 2) == ".0") text.resize(text.size() - 2);
  return text;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> SplitFields(std::string_view value) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (true) {
    while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t')) ++pos;
    std::string field;
    if (pos < value.size() && value[pos] == '"') {
      ++pos;
      while (true) {
        if (pos >= value.size()) throw FormValueError{"引用符で始まる文字列が閉じていません"};
        if (value[pos] == '"') {
          if (pos + 1 < value.size() && value[pos + 1] == '"') {
            field += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        field += value[pos++];
      }
      while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t')) ++pos;
      if (pos < value.size() && value[pos] != ',') {
        throw FormValueError{"閉じた引用符の後に文字があります"};
      }
    } else {
      const size_t comma = value.find(',', pos);
      field = Trim(value.substr(pos, comma == std::string_view::npos ? value.npos : comma - pos));
      pos = comma == std::string_view::npos ? value.size() : comma;
    }
    fields.push_back(std::move(field));
    if (pos >= value.size()) break;
    ++pos;  // the comma
  }
  return fields;
}

double ParseNumber(const std::string& text, double low, double high, const char* what) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    throw FormValueError{std::string(what) + " " + Quoted(text) + " は数値ではありません"};
  }
  if (value < low || value > high) {
    throw FormValueError{std::string(what) + " " + text + " は " + FormatLimit(low) + " から " +
                         FormatLimit(high) + " の範囲にありません"};
  }
  return value;
}

int ParseInteger(const std::string& text, int low, int high, const char* what) {
  const bool hex = text.size() > 2 && text[0] == '0' && Lower(text[1]) == 'x';
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  long long value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (text.empty() || error == std::errc::invalid_argument || end != last) {
    throw FormValueError{std::string(what) + " " + Quoted(text) + " は整数ではありません"};
  }
  if (error == std::errc::result_out_of_range || value < low || value > high) {
    throw FormValueError{std::string(what) + " " + text + " は " + std::to_string(low) + " から " +
                         std::to_string(high) + " の範囲にありません"};
  }
  return static_cast<int>(value);
}

PrintAlign ParseAlign(const std::string& text) {
  if (SameWord(text, "left")) return PrintAlign::Left;
  if (SameWord(text, "center") || SameWord(text, "centre")) return PrintAlign::Center;
  if (SameWord(text, "right")) return PrintAlign::Right;
  throw FormValueError{"配置 " + Quoted(text) + " は left、center、right のどれでもありません"};
}

PrintFit ParseFit(const std::string& text) {
  if (SameWord(text, "cut")) return PrintFit::Cut;
  if (SameWord(text, "shrink")) return PrintFit::Shrink;
  throw FormValueError{"はみ出し " + Quoted(text) + " は cut、shrink のどちらでもありません"};
}

bool ParseYesNo(const std::string& text) {
  if (SameWord(text, "yes")) return true;
  if (SameWord(text, "no")) return false;
  throw FormValueError{Quoted(text) + " は yes、no のどちらでもありません"};
}

void ParsePaper(const std::string& text, std::string& name, double& width, double& height) {
  for (const Paper& paper : kPapers) {
    if (SameWord(text, paper.name)) {
      name = paper.name;
      width = paper.width;
      height = paper.height;
      return;
    }
  }
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) {
    throw FormValueError{"用紙 " + Quoted(text) +
                         " は A3、A4、A5、B4、B5、Letter、Legal、幅x高さ のどれでもありません"};
  }
  name.clear();
  width = ParseNumber(std::string(Trim(std::string_view(text).substr(0, x))), kMinPaperSide,
                      kMaxPaperSide, "用紙の幅");
  height = ParseNumber(std::string(Trim(std::string_view(text).substr(x + 1))), kMinPaperSide,
                       kMaxPaperSide, "用紙の高さ");
}

}  // namespace vexa::print
