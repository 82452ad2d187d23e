// Reading a PDF back in tests with poppler-utils (installed by the project's
// set-up script): its text page by page, its fonts and its page size.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace vexa::test {

// Standard output of a shell command line ("" when it cannot be run).
inline std::string CommandOutput(const std::string& commandLine) {
  std::string out;
  if (FILE* pipe = popen(commandLine.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

inline std::string Quoted(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline bool HasPoppler() {
  for (const char* tool : {"pdftotext", "pdffonts", "pdfinfo"})
    if (CommandOutput(std::string("command -v ") + tool).empty()) return false;
  return true;
}

// The text of every page, laid out as printed (one line per printed row).
inline std::vector<std::string> PdfPages(const std::string& pdf) {
  const std::string text = CommandOutput("pdftotext -layout -enc UTF-8 " + Quoted(pdf) + " -");
  std::vector<std::string> pages;
  std::string page;
  for (char c : text) {
    if (c == '\f') {
      pages.push_back(page);
      page.clear();
    } else {
      page += c;
    }
  }
  return pages;
}

// The lines of a page's text.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// pdffonts' table and pdfinfo's "Page size:" line.
inline std::string PdfFonts(const std::string& pdf) {
  return CommandOutput("pdffonts " + Quoted(pdf));
}
inline std::string PdfPageSize(const std::string& pdf) {
  return CommandOutput("pdfinfo " + Quoted(pdf) + " | grep '^Page size:'");
}

}  // namespace vexa::test
