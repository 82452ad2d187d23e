// vexafol check: the store doctor. Reads the store once, runs every check and
// prints what is wrong, what it means and what to do. Changes nothing unless
// --fix is given (and then only what cannot lose a drawing); the lock probe
// makes one file of its own in the store folder and removes it again.
#include <cstdio>

#include "tools/check.h"
#include "tools/command.h"

namespace vexa::tool {

int RunCheck(Args& args) {
  if (args.positional().size() != 1) {
    std::fprintf(stderr, "vexafol: check needs exactly one store folder (see --help)\n");
    return 2;
  }
  const bool fix = args.Has("fix");
  CheckReport report;
  StoreTree tree;
  std::string error;
  if (!ReadStoreTree(args.positional()[0], tree, &error)) return Fail(error);
  report.store = tree.root;
  CheckFileSystem(tree, report);
  CheckPermissions(tree, fix, report);
  CheckLockFiles(tree, fix, report);
  CheckDrafts(tree, fix, report);
  CheckDrawings(tree, report);
  CheckNameCase(tree, report);
  CheckRecycleFolders(tree, fix, report);
  if (tree.cut) {
    report.Add({"size", tree.root, "the store is larger or deeper than the check reads",
                "entries beyond the first 500000, or 16 folders deep, were not checked",
                "check its data folders one at a time"});
  }
  if (args.Has("json"))
    PrintReportJson(report);
  else
    PrintReport(report);
  return report.Remaining() ? 1 : 0;
}

}  // namespace vexa::tool
