// The form file reader: UTF-8 text in INI syntax (sections and keys without
// regard to ASCII case, "key = value" lines, ';' or '#' comment lines). Every
// fault is reported with the file and line that caused it.
#include <unistd.h>

#include <cerrno>
#include <map>
#include <new>
#include <string_view>

#include "platform/env.h"
#include "platform/regular_file.h"
#include "platform/sysinfo.h"
#include "print/form_values.h"
#include "vexafol/print_form.h"

namespace vexa {
namespace {

using print::FormValueError;
using print::SameWord;

constexpr size_t kMaxFormBytes = 1 << 20;
constexpr double kMinFontSize = 1;    // pt
constexpr double kMaxFontSize = 200;  // pt
constexpr double kMaxPen = 5;         // mm
constexpr double kMinPrintable = 10;  // mm of paper inside the margins, each way
constexpr int kMaxRowsPerPage = 1000;
constexpr int kMaxCode = 0xFFFF;
constexpr double kSlack = 1e-6;  // mm: rounding of sums of decimal lengths

struct FormError {
  int line;  // 0: the file as a whole
  std::string message;
};

struct Entry {
  int line;
  std::string key;
  std::string value;
};

struct Section {
  int line;
  std::string name;
  std::vector<Entry> entries;
};

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size()) return false;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      code = (code << 6) | (trail & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::vector<Section> SplitSections(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<Section> sections;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsValidUtf8(line)) throw FormError{number, "この行は UTF-8 のテキストではありません"};
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos || !Trim(line.substr(close + 1)).empty()) {
        throw FormError{number, "セクションの見出しは \"[名前]\" と書きます"};
      }
      sections.push_back({number, std::string(Trim(line.substr(1, close - 1))), {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      throw FormError{number, "\"[セクション]\" か \"キー = 値\" のどちらかを書きます"};
    }
    if (sections.empty()) throw FormError{number, "最初のセクションより前にキーがあります"};
    const std::string key(Trim(line.substr(0, equals)));
    for (const Entry& entry : sections.back().entries) {
      if (SameWord(entry.key, key)) {
        throw FormError{
            number, "キー " + key + " は " + std::to_string(entry.line) + " 行目と重複しています"};
      }
    }
    sections.back().entries.push_back({number, key, std::string(Trim(line.substr(equals + 1)))});
  }
  return sections;
}

// The key's word without a trailing number ("Column12" -> "Column").
std::string_view KeyWord(std::string_view key) {
  while (!key.empty() && key.back() >= '0' && key.back() <= '9') key.remove_suffix(1);
  return key;
}

// Runs a parse of one entry, turning a value error into a form error of its line.
template <typename Parse>
void AtLine(const Entry& entry, Parse parse) {
  try {
    parse();
  } catch (const FormValueError& error) {
    throw FormError{entry.line, entry.key + ": " + error.message};
  }
}

std::vector<std::string> Fields(const Entry& entry, size_t least, size_t most, const char* shape) {
  std::vector<std::string> fields = print::SplitFields(entry.value);
  if (fields.size() < least || fields.size() > most) {
    throw FormValueError{std::string(shape) + "を書きます"};
  }
  return fields;
}

class FormBuilder {
 public:
  explicit FormBuilder(PrintForm& form) : form_(form) {}

  void Build(const std::vector<Section>& sections) {
    const Section* formSection = nullptr;
    std::map<std::string, int> seen;  // lower-cased names of header and footer sections
    for (const Section& section : sections) {
      if (SameWord(section.name, "Form")) {
        if (formSection) throw Repeated(section, formSection->line);
        formSection = &section;
      }
    }
    if (!formSection) throw FormError{0, "セクション [Form] がありません"};
    ReadForm(*formSection);
    for (const Section& section : sections) {
      if (&section == formSection) continue;
      if (SameWord(section.name, "Header") || SameWord(section.name, "Footer")) {
        const bool header = SameWord(section.name, "Header");
        auto [at, added] = seen.emplace(header ? "header" : "footer", section.line);
        if (!added) throw Repeated(section, at->second);
        ReadItems(section, header ? form_.header : form_.footer);
      } else if (section.name.size() > 6 && SameWord(section.name.substr(0, 6), "Repeat")) {
        ReadBand(section);
      } else {
        throw FormError{section.line, "不明なセクション [" + section.name +
                                          "] です (Form、Header、Footer、RepeatN のどれか)"};
      }
    }
    if (form_.bands.empty()) {
      throw FormError{0, "繰り返しのセクションがありません: 帳票には [RepeatN] が一つ以上必要です"};
    }
  }

 private:
  static FormError Repeated(const Section& section, int first) {
    return {section.line, "セクション [" + section.name + "] は " + std::to_string(first) +
                              " 行目と重複しています"};
  }

  void ReadForm(const Section& section) {
    bool paper = false;
    for (const Entry& entry : section.entries) {
      AtLine(entry, [&] {
        if (SameWord(entry.key, "Title")) {
          form_.title = print::Unquote(entry.value);
        } else if (SameWord(entry.key, "Paper")) {
          print::ParsePaper(entry.value, form_.paperName, form_.paperWidth, form_.paperHeight);
          paper = true;
        } else if (SameWord(entry.key, "Orientation")) {
          if (SameWord(entry.value, "Landscape")) {
            form_.landscape = true;
          } else if (SameWord(entry.value, "Portrait")) {
            form_.landscape = false;
          } else {
            throw FormValueError{"\"" + entry.value +
                                 "\" は Portrait でも Landscape でもありません"};
          }
        } else if (SameWord(entry.key, "Margins")) {
          const auto fields = Fields(entry, 4, 4, "4 つの値 (左、上、右、下) ");
          form_.marginLeft = print::ParseNumber(fields[0], 0, 1000, "左余白");
          form_.marginTop = print::ParseNumber(fields[1], 0, 1000, "上余白");
          form_.marginRight = print::ParseNumber(fields[2], 0, 1000, "右余白");
          form_.marginBottom = print::ParseNumber(fields[3], 0, 1000, "下余白");
          marginsLine_ = entry.line;
        } else {
          throw FormValueError{"不明なキーです (Title、Paper、Orientation、Margins のどれか)"};
        }
      });
    }
    if (!paper) throw FormError{section.line, "[Form] に Paper がありません"};
    if (form_.landscape) std::swap(form_.paperWidth, form_.paperHeight);
    if (form_.PrintableWidth() < kMinPrintable || form_.PrintableHeight() < kMinPrintable) {
      throw FormError{marginsLine_ ? marginsLine_ : section.line,
                      "余白を除いた印刷できる部分が 10 mm に足りません"};
    }
  }

  // A rectangle that must lie inside the printable area.
  void CheckInside(double x, double y, double width, double height) const {
    if (x + width > form_.PrintableWidth() + kSlack ||
        y + height > form_.PrintableHeight() + kSlack) {
      throw FormValueError{"印刷できる範囲 " + print::Millimetres(form_.PrintableWidth()) + " x " +
                           print::Millimetres(form_.PrintableHeight()) +
                           " mm からはみ出しています"};
    }
  }

  // x, y, width, height, align, size from fields[first] on.
  void ReadPlacement(const std::vector<std::string>& fields, size_t first, PrintFormItem& item) {
    item.x = print::ParseNumber(fields[first], 0, form_.PrintableWidth(), "x");
    item.y = print::ParseNumber(fields[first + 1], 0, form_.PrintableHeight(), "y");
    item.width = print::ParseNumber(fields[first + 2], 0.1, form_.PrintableWidth(), "幅");
    item.height = print::ParseNumber(fields[first + 3], 0.1, form_.PrintableHeight(), "高さ");
    item.align = print::ParseAlign(fields[first + 4]);
    item.fontSize = print::ParseNumber(fields[first + 5], kMinFontSize, kMaxFontSize, "文字サイズ");
    CheckInside(item.x, item.y, item.width, item.height);
  }

  void ReadItem(const Entry& entry, std::vector<PrintFormItem>& items) {
    const std::string_view word = KeyWord(entry.key);
    struct Placed {
      const char* word;
      PrintItemKind kind;
    };
    constexpr Placed kPlaced[] = {{"Site", PrintItemKind::SiteName},
                                  {"Title", PrintItemKind::Title},
                                  {"Date", PrintItemKind::PrintDate},
                                  {"Page", PrintItemKind::PageNumber}};
    PrintFormItem item;
    item.line = entry.line;
    for (const Placed& placed : kPlaced) {
      if (!SameWord(word, placed.word)) continue;
      const auto fields = Fields(entry, 6, 6, "6 つの値 (x、y、幅、高さ、配置、文字サイズ) ");
      item.kind = placed.kind;
      ReadPlacement(fields, 0, item);
      items.push_back(item);
      return;
    }
    if (SameWord(word, "Text")) {
      const auto fields =
          Fields(entry, 7, 7, "7 つの値 (x、y、幅、高さ、配置、文字サイズ、文字列) ");
      item.kind = PrintItemKind::Text;
      ReadPlacement(fields, 0, item);
      item.text = fields[6];
    } else if (SameWord(word, "Field")) {
      const auto fields =
          Fields(entry, 7, 7, "7 つの値 (項目コード、x、y、幅、高さ、配置、文字サイズ) ");
      item.kind = PrintItemKind::Field;
      item.fieldCode = print::ParseInteger(fields[0], 0, kMaxCode, "項目コード");
      ReadPlacement(fields, 1, item);
    } else if (SameWord(word, "Line") || SameWord(word, "Box")) {
      ReadLine(entry, SameWord(word, "Box"));
      return;
    } else {
      throw FormValueError{
          "不明なキーです (Site、Title、Date、Page、Text、Field、Line、Box のどれか、"
          "後に番号を付けてもよい)"};
    }
    items.push_back(item);
  }

  void ReadLine(const Entry& entry, bool box) {
    const auto fields = Fields(entry, 4, 5,
                               box ? "4 つか 5 つの値 (x、y、幅、高さ[、線幅]) "
                                   : "4 つか 5 つの値 (x1、y1、x2、y2[、線幅]) ");
    PrintFormLine line;
    line.box = box;
    line.x1 = print::ParseNumber(fields[0], 0, form_.PrintableWidth(), box ? "x" : "x1");
    line.y1 = print::ParseNumber(fields[1], 0, form_.PrintableHeight(), box ? "y" : "y1");
    if (box) {
      const double width = print::ParseNumber(fields[2], 0.1, form_.PrintableWidth(), "幅");
      const double height = print::ParseNumber(fields[3], 0.1, form_.PrintableHeight(), "高さ");
      CheckInside(line.x1, line.y1, width, height);
      line.x2 = line.x1 + width;
      line.y2 = line.y1 + height;
    } else {
      line.x2 = print::ParseNumber(fields[2], 0, form_.PrintableWidth(), "x2");
      line.y2 = print::ParseNumber(fields[3], 0, form_.PrintableHeight(), "y2");
    }
    if (fields.size() == 5) line.width = print::ParseNumber(fields[4], 0.01, kMaxPen, "線幅");
    form_.lines.push_back(line);
  }

  void ReadItems(const Section& section, std::vector<PrintFormItem>& items) {
    for (const Entry& entry : section.entries) {
      AtLine(entry, [&] { ReadItem(entry, items); });
    }
  }

  void ReadColumn(const Entry& entry, double bandFontSize, PrintFormBand& band) {
    const auto fields =
        Fields(entry, 4, 7,
               "4 つから 7 つの値 (項目コード、x、幅、配置[、文字サイズ[、はみ出し[、見出し]]]) ");
    PrintFormColumn column;
    column.line = entry.line;
    column.fieldCode = print::ParseInteger(fields[0], 0, kMaxCode, "項目コード");
    column.x = print::ParseNumber(fields[1], 0, form_.PrintableWidth(), "x");
    column.width = print::ParseNumber(fields[2], 0.1, form_.PrintableWidth(), "幅");
    column.align = print::ParseAlign(fields[3]);
    column.fontSize = fields.size() > 4 && !fields[4].empty()
                          ? print::ParseNumber(fields[4], kMinFontSize, kMaxFontSize, "文字サイズ")
                          : bandFontSize;
    if (fields.size() > 5 && !fields[5].empty()) column.fit = print::ParseFit(fields[5]);
    if (fields.size() > 6) column.heading = fields[6];
    CheckInside(column.x, 0, column.width, 0);
    band.columns.push_back(column);
  }

  void ReadBand(const Section& section) {
    PrintFormBand band;
    band.line = section.line;
    try {
      band.repeatKind =
          print::ParseInteger(std::string(Trim(std::string_view(section.name).substr(6))), 0,
                              kMaxCode, "繰り返しの種類");
    } catch (const FormValueError& error) {
      throw FormError{section.line, "[" + section.name + "]: " + error.message};
    }
    if (const PrintFormBand* other = form_.FindBand(band.repeatKind)) {
      throw Repeated(section, other->line);
    }
    double fontSize = 9;
    int rowsLine = 0;
    std::vector<const Entry*> columns;
    for (const Entry& entry : section.entries) {
      AtLine(entry, [&] {
        const double height = form_.PrintableHeight();
        if (SameWord(KeyWord(entry.key), "Column")) {
          columns.push_back(&entry);
        } else if (SameWord(entry.key, "Top")) {
          band.top = print::ParseNumber(entry.value, 0, height, "上端");
        } else if (SameWord(entry.key, "HeadingHeight")) {
          band.headingHeight = print::ParseNumber(entry.value, 0, height, "見出しの高さ");
        } else if (SameWord(entry.key, "RowHeight")) {
          band.rowHeight = print::ParseNumber(entry.value, 0.5, height, "行の高さ");
        } else if (SameWord(entry.key, "RowsPerPage")) {
          band.rowsPerPage = print::ParseInteger(entry.value, 1, kMaxRowsPerPage, "1 ページの行数");
          rowsLine = entry.line;
        } else if (SameWord(entry.key, "RuleRows")) {
          band.ruleRows = print::ParseYesNo(entry.value);
        } else if (SameWord(entry.key, "RuleColumns")) {
          band.ruleColumns = print::ParseYesNo(entry.value);
        } else if (SameWord(entry.key, "FontSize")) {
          fontSize = print::ParseNumber(entry.value, kMinFontSize, kMaxFontSize, "文字サイズ");
        } else {
          throw FormValueError{
              "不明なキーです (Top、HeadingHeight、RowHeight、RowsPerPage、"
              "RuleRows、RuleColumns、FontSize、ColumnN のどれか)"};
        }
      });
    }
    if (band.rowHeight == 0)
      throw FormError{section.line, "[" + section.name + "] に RowHeight がありません"};
    if (band.rowsPerPage == 0) {
      throw FormError{section.line, "[" + section.name + "] に RowsPerPage がありません"};
    }
    const double bottom = band.top + band.headingHeight + band.rowsPerPage * band.rowHeight;
    if (bottom > form_.PrintableHeight() + kSlack) {
      throw FormError{rowsLine, "RowsPerPage: " + std::to_string(band.rowsPerPage) +
                                    " 行の終わりが " + print::Millimetres(bottom) +
                                    " mm で、印刷できる高さ " +
                                    print::Millimetres(form_.PrintableHeight()) + " mm を超えます"};
    }
    for (const Entry* entry : columns) {
      AtLine(*entry, [&] { ReadColumn(*entry, fontSize, band); });
    }
    if (band.columns.empty()) {
      throw FormError{section.line, "[" + section.name + "] に ColumnN がありません"};
    }
    form_.bands.push_back(std::move(band));
  }

  PrintForm& form_;
  int marginsLine_ = 0;
};

// The whole file, or a form error of the file as a whole.
std::string ReadFormFile(const std::string& path) {
  platform::Env& env = platform::CurrentEnv();
  const int fd = platform::OpenRegularFile(path, O_RDONLY, 0, platform::LinkPolicy::Follow);
  if (fd < 0) {
    throw FormError{0, "開けません: " + platform::SystemErrorText(static_cast<unsigned long>(-fd))};
  }
  std::string bytes;
  char buffer[65536];
  ssize_t count;
  while ((count = env.Read(fd, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, static_cast<size_t>(count));
    if (bytes.size() > kMaxFormBytes) break;
  }
  env.Close(fd);
  if (count < 0) {
    throw FormError{0,
                    "読めません: " + platform::SystemErrorText(static_cast<unsigned long>(-count))};
  }
  if (bytes.size() > kMaxFormBytes)
    throw FormError{0, "1 MiB を超えています (帳票ファイルではありません)"};
  return bytes;
}

std::string Describe(const std::string& path, const FormError& error) {
  if (error.line == 0) return path + ": " + error.message;
  return path + ":" + std::to_string(error.line) + ": " + error.message;
}

}  // namespace

const PrintFormBand* PrintForm::FindBand(int repeatKind) const {
  for (const PrintFormBand& band : bands) {
    if (band.repeatKind == repeatKind) return &band;
  }
  return nullptr;
}

bool ParsePrintForm(const std::string& text, const std::string& path, PrintForm& form,
                    std::string& error) {
  form = PrintForm{};
  form.path = path;
  try {
    FormBuilder(form).Build(SplitSections(text));
  } catch (const FormError& fault) {
    error = Describe(path, fault);
    return false;
  } catch (const std::bad_alloc&) {
    error = path + ": 帳票を読むためのメモリーが足りません";
    return false;
  }
  error.clear();
  return true;
}

bool ReadPrintForm(const std::string& path, PrintForm& form, std::string& error) {
  std::string text;
  try {
    text = ReadFormFile(path);
  } catch (const FormError& fault) {
    error = Describe(path, fault);
    return false;
  } catch (const std::bad_alloc&) {
    error = path + ": 帳票を読むためのメモリーが足りません";
    return false;
  }
  return ParsePrintForm(text, path, form, error);
}

}  // namespace vexa
