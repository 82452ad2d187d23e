// How the tool describes itself: the overview of 'vexafol --help', the help of
// one command, and the sections the manual page adds. One source for both, so
// the help and the manual cannot say different things.
#pragma once

#include <string>
#include <vector>

#include "tools/command.h"

namespace vexa::tool {

// A titled part of the description of the whole tool. Its text is paragraphs
// separated by empty lines; a paragraph whose lines start with two spaces is
// kept as it is laid out.
struct HelpSection {
  const char* title;
  const char* text;
  bool inOverview;  // also printed by 'vexafol --help', not only in the manual
};

// What the tool is for, in one line (the manual's NAME line).
inline constexpr const char* kToolPurpose =
    "work with the drawing stores of a surveying and civil-engineering CAD suite";

const std::vector<HelpSection>& HelpSections();

// The command of that name, with or without a summary; nullptr when none.
const Command* FindCommand(const std::string& name);

// 'vexafol --help': usage, the commands with their summaries, the sections
// marked for it.
void PrintOverview();

// 'vexafol COMMAND --help'.
void PrintCommandHelp(const Command& command);

}  // namespace vexa::tool
