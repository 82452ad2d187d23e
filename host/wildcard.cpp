#include "host/wildcard.h"

namespace vexa::host {
namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Length of the UTF-8 sequence starting at text[at] (1 for stray bytes).
size_t CharLength(std::string_view text, size_t at) {
  size_t length = 1;
  while (at + length < text.size() &&
         (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void AddPatternList(const std::string& list, std::vector<std::string>& patterns) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string pattern = Trim(list.substr(start, end - start));
    if (!pattern.empty()) patterns.push_back(pattern.front() == '.' ? "*" + pattern : pattern);
    start = end + 1;
  }
}

// Greedy match with one backtrack point (the last "*"): linear in practice,
// O(pattern * name) at worst, never exponential, and no recursion.
bool MatchGreedy(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && AsciiUpper(pattern[p]) == AsciiUpper(name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      starN += CharLength(name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool EndsWithDotStar(std::string_view pattern) {
  return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*";
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  // As on Windows, a trailing ".*" also admits a name without any extension, so
  // "BKUP.*" finds the automatic backup folder "BKUP" beside "BKUP.001". Such a
  // name matches a pattern holding a '.' only through "*.*", so every trailing
  // ".*" group is dropped in one pass, however many there are.
  if (name.find('.') == std::string_view::npos) {
    while (EndsWithDotStar(pattern)) {
      pattern.remove_suffix(2);
      if (pattern == "*.*") return true;
    }
  }
  return MatchGreedy(pattern, name);
}

std::vector<std::string> FilterPatterns(const std::string& filter) {
  std::vector<std::string> patterns;
  if (filter.find('|') == std::string::npos) {
    AddPatternList(filter, patterns);
    return patterns;
  }
  size_t start = 0;
  for (int field = 0; start <= filter.size(); ++field) {
    size_t end = filter.find('|', start);
    if (end == std::string::npos) end = filter.size();
    if (field % 2 == 1) AddPatternList(filter.substr(start, end - start), patterns);
    start = end + 1;
  }
  return patterns;
}

bool FilterAdmits(const std::vector<std::string>& patterns, std::string_view name) {
  if (patterns.empty()) return true;
  for (const std::string& pattern : patterns) {
    if (WildcardMatch(pattern, name)) return true;
  }
  return false;
}

}  // namespace vexa::host
