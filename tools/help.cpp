#include "tools/help.h"

#include <cstdio>

namespace vexa::tool {

const std::vector<HelpSection>& HelpSections() {
  static const std::vector<HelpSection> sections = {
      {"Stores",
       "Every command that works in a store takes it from --store DIR; select, print,\n"
       "recycle, restore and check also take it as their first argument STORE. Without\n"
       "one, the store is the folder that the environment variable VEXAFOL_STORE names,\n"
       "else the nearest store enclosing the current folder: the current folder or the\n"
       "nearest folder above it that holds a folder DATA with a store's layout (the\n"
       "recycle folder RECYCCAD, or a work folder with a site folder with CAD in it), as\n"
       "git finds its repository. A command given a drawing by its folder path takes\n"
       "the store enclosing that folder before VEXAFOL_STORE and the current folder.\n"
       "With no store found, select shows the sample store of 'vexafol demo', check\n"
       "fails, and the others work in the current folder. demo makes the store it is\n"
       "given, or the sample store, and never looks for one.",
       true},
      {"Drawings",
       "A DRAWING is named by the path of its folder (.../CAD/HNY/Fol.005), or inside\n"
       "the store by application and number: HNY/5 or 0x1:5 is Fol.005 of the general\n"
       "application (汎用). The application is its code, the name of its folder (case\n"
       "does not matter), or its id; 'vexafol apps' shows both, 'vexafol list' the\n"
       "numbers. The number is 1 to 999. A word of that form is always a name: write\n"
       "./HNY/5 for a folder of that path.",
       true},
      {"Exit status",
       "0 when the command did its work; 1 when it failed (one line on stderr says why);\n"
       "2 for a wrong command line (an unknown command or option, a missing or malformed\n"
       "value, too many or too few arguments), which does no work. --help always\n"
       "succeeds.",
       true},
      {"Output",
       "Text from a store (titles, memos, names, paths) may hold anything a member of the\n"
       "store put there: control characters and bytes that are not UTF-8 are shown\n"
       "escaped (\\xNN, \\u00NN). --json prints valid UTF-8 JSON for scripts: strings are\n"
       "escaped as JSON requires, a byte of a folder name that is not UTF-8 becomes\n"
       "\\udcNN, and times are UTC in the form YYYY-MM-DDThh:mm:ssZ. Each command's\n"
       "description names the fields of its JSON.",
       false},
      {"Environment",
       "  VEXAFOL_STORE    the store of commands given none\n"
       "  XDG_DATA_HOME    where the sample store is kept (default ~/.local/share)\n"
       "  XDG_CONFIG_HOME  where the user's settings are kept (default ~/.config)\n"
       "  DISPLAY, WAYLAND_DISPLAY  the display of select, pages and print --preview\n"
       "  TZ, LANG, LC_ALL  the time zone and locale of dates and text",
       false},
      {"Files",
       "  ~/.local/share/vexafol/sample-store   the sample store of demo and select\n"
       "  ~/.config/vexafol/userdata.ini        the dialogs' settings of each user",
       false},
  };
  return sections;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& command : Commands())
    if (command.name == name) return &command;
  return nullptr;
}

void PrintOverview() {
  std::printf("Usage: vexafol COMMAND [OPTIONS] [ARGUMENTS]\n\nCommands:\n");
  for (const Command& command : Commands())
    if (command.summary) std::printf("  %-8s %s\n", command.name, command.summary);
  for (const HelpSection& section : HelpSections())
    if (section.inOverview) std::printf("\n%s:\n%s\n", section.title, section.text);
  std::printf(
      "\n'vexafol help COMMAND' or 'vexafol COMMAND --help' describes one command,\n"
      "'man vexafol' all of them; 'vexafol --version' shows the versions.\n");
}

void PrintCommandHelp(const Command& command) {
  std::string usage = command.synopsis;
  // Later usage lines line up under the first.
  for (size_t at = usage.find('\n'); at != std::string::npos; at = usage.find('\n', at + 1))
    usage.insert(at + 1, "       ");
  std::printf("vexafol %s: %s.\n\nUsage: %s\n\n%s\n", command.name,
              command.summary ? command.summary : "for scripts", usage.c_str(),
              command.description);
  if (command.json) std::printf("\nWith --json:\n%s\n", command.json);
  if (command.operand == Operand::kDrawing || command.operand == Operand::kStore)
    std::printf("\nStores and drawings: see 'vexafol help'.\n");
}

int RunHelp(Args& args) {
  if (args.positional().empty()) {
    PrintOverview();
    return 0;
  }
  const Command* command = FindCommand(args.positional()[0]);
  if (!command) return UsageError("help: unknown command '" + args.positional()[0] + "'");
  PrintCommandHelp(*command);
  return 0;
}

}  // namespace vexa::tool
