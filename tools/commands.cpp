#include "tools/command.h"
#include "tools/list_choice.h"
#include "tools/store_env.h"

namespace vexa::tool {

int RunDemo(Args& args);
int RunNew(Args& args);
int RunInfo(Args& args);
int RunApps(Args& args);
int RunList(Args& args);
#ifdef VEXA_TOOL_UI
int RunSelect(Args& args);
int RunPages(Args& args);
int RunPrint(Args& args);
#endif
int RunLock(Args& args);
int RunStatus(Args& args);
int RunWho(Args& args);
int RunCheck(Args& args);
int RunDelete(Args& args);
int RunRecycle(Args& args);
int RunRestore(Args& args);

namespace {
std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}
std::vector<std::string> With(std::vector<std::string> more) {
  return Joined(std::move(more), kStoreOptions);
}
}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"demo",
       "make a sample drawing store",
       "vexafol demo [DIR]\n\n"
       "Makes a store of about 30 drawings of several applications in DIR (default:\n"
       "vexafol/sample-store in $XDG_DATA_HOME, or in ~/.local/share) and prints where it\n"
       "is. A sample store made earlier in DIR is replaced; any other existing content of\n"
       "DIR is left alone and the command fails.\n",
       RunDemo,
       {},
       {},
       1},
      {"new", "create a drawing with a free number",
       "vexafol new [--store DIR] [--app ID] [--title T] [--memo M] [--creator C]\n"
       "            [--pages N] [--host-kind K]\n\n"
       "Chooses a free drawing folder in the folder of application ID (default 0x1),\n"
       "writes its index file, N page files (default 1) and previews, and prints its path.\n",
       RunNew, With({"app", "title", "memo", "creator", "pages"})},
      {"info",
       "show a drawing's header and pages",
       "vexafol info [--store DIR] DRAWING_FOLDER\n\n"
       "Prints the header of the drawing (title, page count, creator, updater, dates in\n"
       "local time, memo) and the information of every page, in UTF-8. The store\n"
       "(default: the current folder) tells which application the drawing belongs to.\n",
       RunInfo,
       kStoreOptions,
       {},
       1},
      {"list",
       "list the drawings of a store",
       "vexafol list [--store DIR] [--host-kind K] [--app MASK] [--sort TYPE] [--dir -1|0|1]\n"
       "             [--recycled | --backups DRAWING_FOLDER] [--no-locks] [--json]\n"
       "             [--no FROM-TO] [--name TEXT] [--creator NAME] [--updater NAME]\n"
       "             [--created FROM..TO] [--updated FROM..TO] [--memo LINE]...\n\n"
       "Lists the drawings of the applications in MASK (default: all) as the selection\n"
       "dialog shows them: No (\"※n\" automatic backup, \"履歴n\" numbered backup), 図面名,\n"
       "CAD, PAGE, 作成者, 変更者, 作成日, 変更日, メモ on one line, and whether\n"
       "another user has the drawing (使用中) or one of its pages (ページ使用中) in use;\n"
       "locked rows are red on a terminal. TYPE: 0 creation order, 1 application,\n"
       "2 creator, 3 updater, 4 created, 5 updated (default, with --dir -1), 6 number,\n"
       "7 name, 8 pages. --recycled lists the deleted drawings, --backups the backups of\n"
       "one drawing. The search options keep the drawings that meet all of them: number\n"
       "range, part of the name, exact creator or updater, local days YYYY-MM-DD (either\n"
       "end may be left out), memo lines that must all occur. --json prints the records\n"
       "for scripts (times in UTC).\n",
       RunList,
       With(Joined({"backups"}, kListChoiceOptions)),
       {"recycled", "no-locks", "json"}},
#ifdef VEXA_TOOL_UI
      {"select",
       "choose drawings in the selection dialog",
       "vexafol select [STORE] [--kind open|write|delete] [--app MASK] [--host-kind K]\n"
       "               [--no FROM-TO] [--name TEXT] [--creator NAME] [--updater NAME]\n"
       "               [--created FROM..TO] [--updated FROM..TO] [--memo LINE]...\n"
       "               [--screenshot FILE | --screenshot-search FILE]\n\n"
       "Opens the drawing selection dialog over STORE (default: the sample store of\n"
       "'vexafol demo', made when missing; its folder is printed on stderr) and prints\n"
       "the paths chosen: drawing folders, page files, or for --kind write the folder of\n"
       "a free number. MASK: the applications shown (default: all; 0x1 for --kind\n"
       "write). --screenshot renders the dialog offscreen to the PNG file FILE instead\n"
       "of waiting for a user; without a display (DISPLAY and WAYLAND_DISPLAY unset)\n"
       "only the screenshot options work. The search options, as for 'vexafol list',\n"
       "open the dialog with that search active (the buttons 検索 and 解除 change it);\n"
       "--screenshot-search renders the search dialog opened over it instead.\n",
       RunSelect,
       Joined({"kind", "app", "host-kind", "screenshot", "screenshot-search"}, kSearchOptions),
       {},
       1},
      {"pages",
       "choose a page of a drawing in the page dialog",
       "vexafol pages [--store DIR] [--host-kind K] DRAWING_FOLDER [--kind MODE]\n"
       "              [--screenshot FILE]\n\n"
       "Opens the page dialog over the drawing and prints the page chosen with \"ページ製図\"\n"
       "(counted from 0) and its page file. A page in use, or any page of a drawing in\n"
       "use, is refused. MODE: the dialog's mode word (default 0; 2 hides the draw\n"
       "button, 0x40 only views). --screenshot renders the dialog offscreen to the PNG\n"
       "file FILE instead of waiting for a user. Exit status 1 when no page was chosen.\n",
       RunPages,
       With({"kind", "screenshot"}),
       {},
       1},
      {"print",
       "print the drawing list to PDF or in the print preview",
       "vexafol print [STORE] [--form FILE] [--host-kind K] [--app MASK] [--sort TYPE]\n"
       "              [--dir -1|0|1] [the search options of list] --pdf OUT.pdf | --preview\n\n"
       "Prints the drawings of STORE (default: --store or the current folder) as the\n"
       "selection dialog's print button does: the records 'vexafol list' shows with the\n"
       "same options, in its order, laid out by the form FILE (default: the standard form\n"
       "in the store's FORMS/CAD/812101). --pdf writes them to OUT.pdf without a display\n"
       "(a progress line on a terminal); --preview shows the print preview.\n",
       RunPrint,
       With(Joined({"form", "pdf"}, kListChoiceOptions)),
       {"preview"},
       1},
#endif
      {"apps", "show the application table",
       "vexafol apps [--store DIR] [--host-kind K]\n\n"
       "Prints the table of specialised applications as a host of kind K (0 to 5) sees it:\n"
       "ids, titles, colours, modules, whether it may create drawings, and the folders.\n",
       RunApps, kStoreOptions},
      {"lock",
       "take drawing or page locks and hold them",
       "vexafol lock [--store DIR] DRAWING_FOLDER [--zmn] [--page N]...\n\n"
       "Takes the drawing lock (without --page) or the lock of each page N (with --zmn the\n"
       "drawing lock as well), prints for each whether it was granted or refused, and holds\n"
       "what it got until standard input ends (Ctrl-D, or the writing end of a pipe closes)\n"
       "or until SIGINT (Ctrl-C), SIGTERM or SIGHUP; then releases everything and removes\n"
       "the lock files nobody else has open. Exits at once when nothing was granted. Exit\n"
       "status 1 when any lock was refused, else 0. Two terminals play two users.\n",
       RunLock,
       With({"page"}),
       {"zmn"},
       1},
      {"status",
       "show whether a drawing and its pages are locked",
       "vexafol status [--store DIR] DRAWING_FOLDER [--page N]...\n\n"
       "Prints IsLockZmn and IsExistLockPage of the drawing and IsLockPage of each page N\n"
       "(default: every page in the drawing's header), as another user sees them (1: in\n"
       "use or cannot be told, 0: free). The page scan of the first two sees pages 0 to\n"
       "499 only.\n",
       RunStatus,
       With({"page"}),
       {},
       1},
      {"who",
       "list the processes that hold a drawing's locks",
       "vexafol who [--store DIR] DRAWING_FOLDER\n\n"
       "Lists the processes on this computer that have the drawing's lock files open:\n"
       "pid, user, lock file, what they lock (the drawing's byte, pages, or only \"open\")\n"
       "and command line, from /proc. Other users' processes need root to be seen.\n",
       RunWho,
       kStoreOptions,
       {},
       1},
      {"check",
       "find what would trouble the users of a shared store",
       "vexafol check STORE [--fix] [--json]\n\n"
       "Checks the store folder STORE: whether its file system gives the locks the store\n"
       "needs (between handles and processes, delete by the last user), whether the mount\n"
       "keeps locks local, whether names are case-sensitive, which deployment the store is\n"
       "in (an SMB share of a file server, NFS, a local disk, or a folder that Samba on\n"
       "this computer exports: the shares of `testparm -s`); folders and files other\n"
       "members of the store's group cannot use; drawing folders without a readable index\n"
       "file, index files of odd sizes, page counts that disagree with the page files,\n"
       "titles that are not valid CP932, names that differ only in case; lock files\n"
       "or drafts left by processes that are gone; recycle containers the recycle scan\n"
       "cannot read, more than ten of them, slots with gaps. Each problem says what it\n"
       "means and what to do.\n"
       "Changes nothing, except with --fix: adds missing permission bits and the store's\n"
       "group, removes lock files nobody has open and empty drafts, closes gaps between\n"
       "recycle slots.\n"
       "Exit status 0 when nothing is wrong (or everything was fixed), 1 otherwise.\n",
       RunCheck,
       {},
       {"fix", "json"},
       1},
      {"delete",
       "move a drawing into the recycle folder",
       "vexafol delete [--store DIR] [--host-kind K] DRAWING_FOLDER [--yes]\n\n"
       "Deletes the drawing as the selection dialog does: refuses a drawing in use,\n"
       "asks \"... を削除してもよろしいですか？\" on the terminal (only y, yes or はい\n"
       "delete; --yes answers for you), moves the drawing folder into slot 1 of the\n"
       "store's recycle folder RECYCCAD (the ten newest deletions are kept) and prints\n"
       "the dialog's text. Exit status 1 when refused, not confirmed or failed (the\n"
       "failure text with the system's error on stderr).\n",
       RunDelete,
       kStoreOptions,
       {"yes"},
       1},
      {"recycle",
       "list the deleted drawings in the recycle folder",
       "vexafol recycle [STORE] [--host-kind K] [--json]\n\n"
       "Prints the occupied slots of the recycle folder of STORE (default: --store or\n"
       "the current folder), slot 1 the newest: slot, drawing name, application, when\n"
       "it was deleted (local time) and the container folder. --json prints them for\n"
       "scripts (with the container and drawing paths; times in UTC).\n",
       RunRecycle,
       kStoreOptions,
       {"json"},
       1},
      {"restore",
       "bring back a deleted drawing or a backup",
       "vexafol restore [STORE] --slot N\n"
       "vexafol restore [STORE] --backup DRAWING_FOLDER [N]\n\n"
       "Moves the drawing in slot N of the recycle folder (see 'vexafol recycle') back\n"
       "into the folder of its application, or copies backup N of a drawing (0: \"BKUP\",\n"
       "else \"BKUP.%03d\"; default 0) as a new drawing beside it. The drawing gets the\n"
       "next free number, under that number's drawing lock; nothing is overwritten.\n"
       "Prints the new drawing folder. STORE may also be given with --store.\n",
       RunRestore,
       With({"slot", "backup"}),
       {},
       2},
  };
  return commands;
}

}  // namespace vexa::tool
