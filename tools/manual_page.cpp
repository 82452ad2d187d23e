// vexafol __manpage: the manual page vexafol(1) in roff, made at build time
// from the command table and the help sections, the texts --help prints.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/help.h"

namespace vexa::tool {
namespace {

// One line of text as roff reads it: backslashes and minus signs written as
// escapes, and a leading "." or "'" kept from being read as a request.
std::string RoffLine(const std::string& line) {
  std::string out = line.empty() || (line[0] != '.' && line[0] != '\'') ? "" : "\\&";
  for (const char c : line) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// Paragraphs separated by empty lines; lines that start with two spaces are
// printed as they are laid out, the others are filled.
void PrintText(const std::string& text) {
  bool verbatim = false;
  std::printf(".PP\n");
  for (const std::string& line : Lines(text)) {
    if (line.empty()) {
      if (verbatim) std::printf(".fi\n");
      verbatim = false;
      std::printf(".PP\n");
      continue;
    }
    const bool laidOut = line.compare(0, 2, "  ") == 0;
    if (laidOut != verbatim) std::printf(laidOut ? ".nf\n" : ".fi\n");
    verbatim = laidOut;
    std::printf("%s\n", RoffLine(line).c_str());
  }
  if (verbatim) std::printf(".fi\n");
}

void PrintCommand(const Command& command) {
  std::printf(".SS \"%s\"\n%s.\n.PP\n.nf\n", command.name, command.summary);
  for (const std::string& line : Lines(command.synopsis))
    std::printf("%s\n", RoffLine(line).c_str());
  std::printf(".fi\n");
  PrintText(command.description);
  if (command.json) PrintText(std::string("With --json: ") + command.json);
}

}  // namespace

int RunManualPage(Args&) {
  std::printf(".\\\" Made by 'vexafol __manpage' from the tool's help texts; do not edit.\n");
  std::printf(".TH VEXAFOL 1 \"\" \"vexafol %s\" \"VEXAFOL\"\n", VEXA_PACKAGE_VERSION);
  std::printf(".SH NAME\nvexafol \\- %s\n", kToolPurpose);
  std::printf(
      ".SH SYNOPSIS\n.B vexafol\n.I COMMAND\n[\\fIOPTIONS\\fR] [\\fIARGUMENTS\\fR]\n.br\n"
      ".B vexafol help\n[\\fICOMMAND\\fR]\n.br\n.B vexafol \\-\\-version\n");
  std::printf(".SH DESCRIPTION\n");
  PrintText(
      "vexafol keeps the drawings of a Japanese surveying and civil-engineering CAD suite\n"
      "in a drawing store: it makes, lists, shows, locks, deletes, restores, checks and\n"
      "prints them, and opens the suite's selection and page dialogs over a store. The\n"
      "store layout, its locks and how several users share one are described in\n"
      "vexafol(7). Every command answers --help with its part of this page.");
  for (const HelpSection& section : HelpSections()) {
    std::string title = section.title;
    for (char& c : title) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    std::printf(".SH \"%s\"\n", title.c_str());
    PrintText(section.text);
  }
  std::printf(".SH COMMANDS\n");
  for (const Command& command : Commands())
    if (command.summary) PrintCommand(command);
  std::printf(".SH \"SEE ALSO\"\n.BR vexafol (7)\n");
  return 0;
}

}  // namespace vexa::tool
