// vexafol: command-line access to a drawing store.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/command.h"
#include "tools/help.h"

int main(int argc, char** argv) {
  using namespace vexa::tool;
  std::setlocale(LC_ALL, "");
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintOverview();
    return argc < 2 ? kExitUsage : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) argv[1] = const_cast<char*>("version");
  for (const Command& command : Commands()) {
    if (command.name != std::string(argv[1])) continue;
    Args args(argc - 2, argv + 2, command.valueOptions, command.flags);
    if (args.Has("help")) {
      PrintCommandHelp(command);
      return 0;
    }
    const std::string seeHelp = " (see 'vexafol " + std::string(command.name) + " --help')";
    if (!args.ok()) return UsageError(command.name + (": " + args.error()) + seeHelp);
    if (args.positional().size() > command.maxArguments) {
      return UsageError(
          command.name +
          (": unexpected argument '" + args.positional()[command.maxArguments] + "'") + seeHelp);
    }
    return command.run(args);
  }
  std::fprintf(stderr, "vexafol: unknown command '%s' (see 'vexafol --help')\n", argv[1]);
  return kExitUsage;
}
