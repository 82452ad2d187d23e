// The command table: every command's name, options and help text. The same
// texts make 'vexafol COMMAND --help', 'vexafol help' and the manual page, and
// the option lists feed the shell completion.
#include <cstdint>

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
int RunWait(Args& args);
int RunCheck(Args& args);
int RunDelete(Args& args);
int RunRecycle(Args& args);
int RunRestore(Args& args);
int RunHelp(Args& args);
int RunVersion(Args& args);
int RunComplete(Args& args);
int RunManualPage(Args& args);

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
      {.name = "demo",
       .summary = "make a sample drawing store",
       .synopsis = "vexafol demo [DIR | --store DIR]",
       .description =
           "Makes a store of about 30 drawings of several applications in DIR (default:\n"
           "vexafol/sample-store in $XDG_DATA_HOME, or in ~/.local/share; never the store\n"
           "the other commands would take) and prints where it is. A sample store made\n"
           "earlier in DIR is replaced; any other existing content of DIR is left alone\n"
           "and the command fails.",
       .run = RunDemo,
       .valueOptions = {"store"},
       .maxArguments = 1,
       .operand = Operand::kFolder},
      {.name = "new",
       .summary = "create a drawing with a free number",
       .synopsis = "vexafol new [--store DIR] [--app ID] [--title T] [--memo M] [--creator C]\n"
                   "            [--pages N] [--host-kind K]",
       .description =
           "Claims a free drawing number in the folder of application ID (default 0x1),\n"
           "passing over numbers whose drawing lock somebody holds, writes the index file,\n"
           "N page files (default 1) and previews under that lock, and prints the path.",
       .run = RunNew,
       .valueOptions = With({"app", "title", "memo", "creator", "pages"})},
      {.name = "info",
       .summary = "show a drawing's header and pages",
       .synopsis = "vexafol info [--store DIR] [--json] DRAWING",
       .description =
           "Prints the header of the drawing (title, page count, creator, updater, dates in\n"
           "local time, memo) and the information of every page, in UTF-8.",
       .run = RunInfo,
       .valueOptions = kStoreOptions,
       .flags = {"json"},
       .maxArguments = 1,
       .operand = Operand::kDrawing,
       .json = "One object: path, number (1 to 999), appId, app (the application's code),\n"
               "appTitle, title, pageCount, creator, updater, created, updated (UTC,\n"
               "YYYY-MM-DDThh:mm:ssZ), memo, version (of the header), and pages: one object per\n"
               "page with page (from 0), file, caption, name, subName, version, complete (false\n"
               "when the record is cut short or malformed) and error (why the page file could\n"
               "not be read; null when it could)."},
      {.name = "list",
       .summary = "list the drawings of a store",
       .synopsis =
           "vexafol list [--store DIR] [--host-kind K] [--app MASK] [--sort TYPE] [--dir -1|0|1]\n"
           "             [--recycled | --backups DRAWING] [--no-locks] [--json]\n"
           "             [--no FROM-TO] [--name TEXT] [--creator NAME] [--updater NAME]\n"
           "             [--created FROM..TO] [--updated FROM..TO] [--memo LINE]...",
       .description =
           "Lists the drawings of the applications in MASK (default: all) as the selection\n"
           "dialog shows them: No (\"※n\" automatic backup, \"履歴n\" numbered backup), 図面名,\n"
           "CAD, PAGE, 作成者, 変更者, 作成日, 変更日, メモ on one line, and whether\n"
           "another user has the drawing (使用中) or one of its pages (ページ使用中) in use,\n"
           "and who (使用者: named by the holder's owner note, from any computer); locked\n"
           "rows are red on a terminal. TYPE: 0 creation order, 1 application,\n"
           "2 creator, 3 updater, 4 created, 5 updated (default, with --dir -1), 6 number,\n"
           "7 name, 8 pages. --recycled lists the deleted drawings, --backups the backups of\n"
           "one drawing. The search options keep the drawings that meet all of them: number\n"
           "range, part of the name, exact creator or updater, local days YYYY-MM-DD (either\n"
           "end may be left out), memo lines that must all occur.",
       .run = RunList,
       .valueOptions = With(Joined({"backups"}, kListChoiceOptions)),
       .flags = {"recycled", "no-locks", "json"},
       .json = "An array, one object per row: no (the number), mark (the No column), path,\n"
               "title, appId, cad (the CAD column), pages, creator, updater, created, updated\n"
               "(UTC), memo, lockState (0 free, 1 the drawing in use, 2 a page in use), holder\n"
               "(null when free, else named, login, name, computer, program, pid, since, text;\n"
               "the texts null when no owner note names the holder)."},
#ifdef VEXA_TOOL_UI
      {.name = "select",
       .summary = "choose drawings in the selection dialog",
       .synopsis = "vexafol select [STORE | --store DIR] [--kind open|write|delete] [--app MASK]\n"
                   "               [--host-kind K] [--no FROM-TO] [--name TEXT] [--creator NAME]\n"
                   "               [--updater NAME] [--created FROM..TO] [--updated FROM..TO]\n"
                   "               [--memo LINE]... [--screenshot FILE | --screenshot-search FILE]",
       .description =
           "Opens the drawing selection dialog over the store (without one: the sample\n"
           "store of 'vexafol demo', made when missing; its folder is printed on stderr) and\n"
           "prints the paths chosen: drawing folders, page files, or for --kind write the\n"
           "folder of a free number. MASK: the applications shown (default: all; 0x1 for\n"
           "--kind write). --screenshot renders the dialog offscreen to the PNG file FILE\n"
           "instead of waiting for a user; without a display (DISPLAY and WAYLAND_DISPLAY\n"
           "unset) only the screenshot options work. The search options, as for 'vexafol\n"
           "list', open the dialog with that search active (the buttons 検索 and 解除 change\n"
           "it); --screenshot-search renders the search dialog opened over it instead.",
       .run = RunSelect,
       .valueOptions =
           With(Joined({"kind", "app", "screenshot", "screenshot-search"}, kSearchOptions)),
       .maxArguments = 1,
       .operand = Operand::kStore},
      {.name = "pages",
       .summary = "choose a page of a drawing in the page dialog",
       .synopsis = "vexafol pages [--store DIR] [--host-kind K] DRAWING [--kind MODE]\n"
                   "              [--screenshot FILE] [--json]",
       .description =
           "Opens the page dialog over the drawing and prints the page chosen with\n"
           "\"ページ製図\" (counted from 0) and its page file. A page in use, or any page of a\n"
           "drawing in use, is refused. MODE: the dialog's mode word (default 0; 2 hides\n"
           "the draw button, 0x40 only views). --screenshot renders the dialog offscreen to\n"
           "the PNG file FILE instead of waiting for a user. Exit status 1 when no page was\n"
           "chosen.",
       .run = RunPages,
       .valueOptions = With({"kind", "screenshot"}),
       .flags = {"json"},
       .maxArguments = 1,
       .operand = Operand::kDrawing,
       .json = "One object: drawing (its folder) and page (from 0) and pageFile for the page\n"
               "chosen, or screenshot (the PNG file) with --screenshot."},
      {.name = "print",
       .summary = "print the drawing list to PDF or in the print preview",
       .synopsis =
           "vexafol print [STORE | --store DIR] [--form FILE] [--host-kind K] [--app MASK]\n"
           "              [--sort TYPE] [--dir -1|0|1] [the search options of list]\n"
           "              --pdf OUT.pdf | --preview",
       .description =
           "Prints the drawings of the store as the selection dialog's print button does:\n"
           "the records 'vexafol list' shows with the same options, in its order, laid out\n"
           "by the form FILE (default: the standard form in the store's FORMS/CAD/812101).\n"
           "--pdf writes them to OUT.pdf without a display (a progress line on a terminal);\n"
           "--preview shows the print preview.",
       .run = RunPrint,
       .valueOptions = With(Joined({"form", "pdf"}, kListChoiceOptions)),
       .flags = {"preview"},
       .maxArguments = 1,
       .operand = Operand::kStore},
#endif
      {.name = "apps",
       .summary = "show the application table",
       .synopsis = "vexafol apps [--store DIR] [--host-kind K] [--json]",
       .description =
           "Prints the table of specialised applications as a host of kind K (0 to 5) sees\n"
           "it: ids, codes (the names of their folders, used in drawing names such as\n"
           "HNY/5), titles, colours, modules, whether it may create drawings, and the\n"
           "folders.",
       .run = RunApps,
       .valueOptions = kStoreOptions,
       .flags = {"json"},
       .json = "An object: hostKind, and apps, one object per row of the table: row, id, code\n"
               "(\"\" without a folder), title, longTitle, colour (the table's six hex digits,\n"
               "BBGGRR), module (\"\" for none), create (true when the host kind may create\n"
               "drawings), folder."},
      {.name = "lock",
       .summary = "take drawing or page locks and hold them",
       .synopsis = "vexafol lock [--store DIR] DRAWING [--zmn] [--page N]...",
       .description =
           "Takes the drawing lock (without --page) or the lock of each page N (with --zmn the\n"
           "drawing lock as well), prints for each whether it was granted or refused, and\n"
           "holds what it got until standard input ends (Ctrl-D, or the writing end of a pipe\n"
           "closes) or until SIGINT (Ctrl-C), SIGTERM or SIGHUP; then releases everything and\n"
           "removes the lock files nobody else has open. Exits at once when nothing was\n"
           "granted. Exit status 1 when any lock was refused, else 0. Two terminals play two\n"
           "users.",
       .run = RunLock,
       .valueOptions = With({"page"}),
       .flags = {"zmn"},
       .maxArguments = 1,
       .operand = Operand::kDrawing},
      {.name = "status",
       .summary = "show whether a drawing and its pages are locked",
       .synopsis = "vexafol status [--store DIR] DRAWING [--page N]... [--json]",
       .description =
           "Prints IsLockZmn and IsExistLockPage of the drawing and IsLockPage of each page N\n"
           "(default: every page in the drawing's header), as another user sees them (1: in\n"
           "use or cannot be told, 0: free), and who holds what is in use, on any computer,\n"
           "as the holders' owner notes name them (\"名前のわからないクライアント\": a holder\n"
           "that leaves no note). The page scan of the first two sees pages 0 to 499 only.",
       .run = RunStatus,
       .valueOptions = With({"page"}),
       .flags = {"json"},
       .maxArguments = 1,
       .operand = Operand::kDrawing,
       .json = "One object: path, appId, slot (-1: none), folderNo, lockable, drawingLockFile,\n"
               "pageLockFile, isLockZmn, isExistLockPage (1 or 0), pageCount (from the header;\n"
               "-1 when it cannot be read, null when pages were given), pages (one object per\n"
               "page asked: page, isLockPage), unusable (the lock files that cannot be\n"
               "opened, with the reason, as texts) and holder (of the drawing lock, else of a\n"
               "page 0-499 held; null when free; as in vexafol list), pageHolders (one object\n"
               "per page asked that is held: page, holder)."},
      {.name = "who",
       .summary = "list the processes that hold a drawing's locks",
       .synopsis = "vexafol who [--store DIR] DRAWING [--json]",
       .description =
           "Lists the processes on this computer that have the drawing's lock files open:\n"
           "pid, user, lock file, what they lock (the drawing's byte, pages, or only \"open\")\n"
           "and command line, from /proc; and the locked bytes that no process here explains\n"
           "(held from another computer). Other users' processes need root to be seen.\n"
           "\n"
           "Then every held lock of the drawing (the drawing lock, pages 0 to 500) with its\n"
           "holder as the owner notes beside the lock files name it, on any computer: full\n"
           "name, computer, since when, login, process and program. A holder that leaves no\n"
           "note (a Windows client, an older version) shows as 名前のわからないクライアント.",
       .run = RunWho,
       .valueOptions = kStoreOptions,
       .flags = {"json"},
       .maxArguments = 1,
       .operand = Operand::kDrawing,
       .json = "One object: path, folderNo, lockFiles (one object per lock file: path,\n"
               "exists), holders (one object per descriptor: pid, user, file (the lock file's\n"
               "name), holds (as in the table), command; pid 0, user and command null for locks\n"
               "of another client), hidden (processes that could not be looked into), owners (one\n"
               "object per held lock: lock (\"drawing\" or \"page\"), page (null for the\n"
               "drawing), holder (as in vexafol list))."},
      {.name = "wait",
       .summary = "wait until a drawing or page is free",
       .synopsis = "vexafol wait [--store DIR] DRAWING [--page N] [--timeout S]",
       .description =
           "Returns when the drawing is free (IsLockZmn answers 0: nobody holds it or one of\n"
           "its pages 0 to 499), or with --page when page N is free (IsLockPage answers 0),\n"
           "asking once a second as any other user asks; it takes no lock. Exit status 0\n"
           "when free, 1 when S seconds (default: no limit) have passed or Ctrl-C, SIGTERM\n"
           "or SIGHUP ended the wait. On a terminal it names the holder while it waits, as\n"
           "the owner notes beside the lock files name it, and again when the holder changes.",
       .run = RunWait,
       .valueOptions = With({"page", "timeout"}),
       .maxArguments = 1,
       .operand = Operand::kDrawing},
      {.name = "check",
       .summary = "find what would trouble the users of a shared store",
       .synopsis = "vexafol check [STORE | --store DIR] [--fix] [--json]",
       .description =
           "Checks the store folder: whether its file system gives the locks the store needs\n"
           "(between handles and processes, delete by the last user), whether the mount\n"
           "keeps locks local, whether names are case-sensitive, which deployment the store\n"
           "is in (an SMB share of a file server, NFS, a local disk, or a folder that Samba\n"
           "on this computer exports: the shares of `testparm -s`); folders and files other\n"
           "members of the store's group cannot use; drawing folders without a readable\n"
           "index file, index files of odd sizes, page counts that disagree with the page\n"
           "files, titles that are not valid CP932, names that differ only in case; lock\n"
           "files or drafts left by processes that are gone; recycle containers the recycle\n"
           "scan cannot read, more than ten of them, slots with gaps. Each problem says what\n"
           "it means and what to do. Without any store it is a usage error.\n"
           "\n"
           "Changes nothing, except with --fix: adds missing permission bits and the store's\n"
           "group, removes lock files nobody has open and empty drafts, closes gaps between\n"
           "recycle slots. Exit status 0 when nothing is wrong (or everything was fixed), 1\n"
           "otherwise.",
       .run = RunCheck,
       .valueOptions = {"store"},
       .flags = {"fix", "json"},
       .maxArguments = 1,
       .operand = Operand::kStore,
       .json =
           "One object: store, probed, locksWork, caseSensitive (true or false), localLocks\n"
           "(why the mount keeps locks local; \"\" when it does not), findings (one object per\n"
           "problem: kind, path, problem, meaning, action, fixed) and remaining (problems\n"
           "left)."},
      {.name = "delete",
       .summary = "move a drawing into the recycle folder",
       .synopsis = "vexafol delete [--store DIR] [--host-kind K] DRAWING [--yes]",
       .description =
           "Deletes the drawing as the selection dialog does: refuses a drawing in use,\n"
           "asks \"... を削除してもよろしいですか？\" on the terminal (only y, yes or はい\n"
           "delete; --yes answers for you), moves the drawing folder into slot 1 of the\n"
           "store's recycle folder RECYCCAD (the ten newest deletions are kept) and prints\n"
           "the dialog's text. Exit status 1 when refused, not confirmed or failed (the\n"
           "failure text with the system's error on stderr).",
       .run = RunDelete,
       .valueOptions = kStoreOptions,
       .flags = {"yes"},
       .maxArguments = 1,
       .operand = Operand::kDrawing},
      {.name = "recycle",
       .summary = "list the deleted drawings in the recycle folder",
       .synopsis = "vexafol recycle [STORE | --store DIR] [--host-kind K] [--json]",
       .description =
           "Prints the occupied slots of the store's recycle folder, slot 1 the newest:\n"
           "slot, drawing name, application, when it was deleted (local time) and the\n"
           "container folder.",
       .run = RunRecycle,
       .valueOptions = kStoreOptions,
       .flags = {"json"},
       .maxArguments = 1,
       .operand = Operand::kStore,
       .json = "An array, one object per slot: slot, container, drawing (the drawing folder\n"
               "inside the container), title, appId (0 when none), deleted (UTC)."},
      {.name = "restore",
       .summary = "bring back a deleted drawing or a backup",
       .synopsis = "vexafol restore [STORE | --store DIR] --slot N\n"
                   "vexafol restore [STORE | --store DIR] --backup DRAWING [N]",
       .description =
           "Moves the drawing in slot N of the recycle folder (see 'vexafol recycle') back\n"
           "into the folder of its application, or copies backup N of a drawing (0: \"BKUP\",\n"
           "else \"BKUP.%03d\"; default 0) as a new drawing beside it. The drawing gets the\n"
           "next free number, under that number's drawing lock; nothing is overwritten.\n"
           "Prints the new drawing folder.",
       .run = RunRestore,
       .valueOptions = With({"slot", "backup"}),
       .maxArguments = 2,
       .operand = Operand::kStore},
      {.name = "help",
       .summary = "describe the tool or one command",
       .synopsis = "vexafol help [COMMAND]",
       .description = "Prints what 'vexafol --help' or 'vexafol COMMAND --help' prints.",
       .run = RunHelp,
       .maxArguments = 1,
       .operand = Operand::kCommand},
      {.name = "version",
       .summary = "show the versions of the tool and of the library",
       .synopsis = "vexafol version\nvexafol --version",
       .description =
           "Prints the version of the vexafol package the tool comes from and that of the\n"
           "library libvexafol it runs with.",
       .run = RunVersion},
      {.name = "__complete",
       .synopsis = "vexafol __complete -- WORD...",
       .description = "The candidates for the last WORD after the others, one per line.",
       .run = RunComplete,
       .maxArguments = SIZE_MAX},
      {.name = "__manpage",
       .synopsis = "vexafol __manpage",
       .description = "The manual page vexafol(1) in roff.",
       .run = RunManualPage},
  };
  return commands;
}

}  // namespace vexa::tool
