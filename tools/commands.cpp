#include "tools/command.h"
#include "tools/store_env.h"

namespace vexa::tool {

int RunDemo(Args& args);
int RunNew(Args& args);
int RunInfo(Args& args);
int RunApps(Args& args);

namespace {
std::vector<std::string> With(std::vector<std::string> more) {
  more.insert(more.end(), kStoreOptions.begin(), kStoreOptions.end());
  return more;
}
}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"demo",
       "make a sample drawing store",
       "vexafol demo [DIR]\n\n"
       "Makes a store of about 30 drawings of several applications in DIR (default:\n"
       "./vexafol-demo) and prints where it is. A sample store made earlier in DIR is\n"
       "replaced; any other existing content of DIR is left alone and the command fails.\n",
       RunDemo,
       {}},
      {"new", "create a drawing with a free number",
       "vexafol new [--store DIR] [--app ID] [--title T] [--memo M] [--creator C]\n"
       "            [--pages N] [--host-kind K]\n\n"
       "Chooses a free drawing folder in the folder of application ID (default 0x1),\n"
       "writes its index file, N page files (default 1) and previews, and prints its path.\n",
       RunNew, With({"app", "title", "memo", "creator", "pages"})},
      {"info", "show a drawing's header and pages",
       "vexafol info [--store DIR] DRAWING_FOLDER\n\n"
       "Prints the header of the drawing (title, page count, creator, updater, dates in\n"
       "local time, memo) and the information of every page, in UTF-8. The store\n"
       "(default: the current folder) tells which application the drawing belongs to.\n",
       RunInfo, kStoreOptions},
      {"apps", "show the application table",
       "vexafol apps [--store DIR] [--host-kind K]\n\n"
       "Prints the table of specialised applications as a host of kind K (0 to 5) sees it:\n"
       "ids, titles, colours, modules, whether it may create drawings, and the folders.\n",
       RunApps, kStoreOptions},
  };
  return commands;
}

}  // namespace vexa::tool
