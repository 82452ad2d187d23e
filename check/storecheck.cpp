// The store check as a whole: reads the store once and runs every part.
#include "vexafol/storecheck.h"

#include <exception>

#include "check/storecheck_parts.h"

namespace vexa {

StoreCheckReport CheckStore(const std::string& store, const StoreCheckOptions& options) {
  StoreCheckReport report;
  report.store = store;
  try {
    check::StoreTree tree;
    if (!check::ReadStoreTree(store, tree, &report.error)) return report;
    report.readable = true;
    report.store = tree.root;
    check::CheckFileSystem(tree, report);
    check::CheckDeployment(tree, report);
    check::CheckPermissions(tree, options.fix, report);
    check::CheckLockFiles(tree, options.fix, report);
    check::CheckOwnerNotes(tree, options.fix, report);
    check::CheckDrafts(tree, options.fix, report);
    check::CheckDrawings(tree, report);
    check::CheckNameCase(tree, report);
    check::CheckRecycleFolders(tree, options.fix, report);
    if (tree.cut) {
      report.Add({"size", tree.root, "the store is larger or deeper than the check reads",
                  "entries beyond the first 500000, or 16 folders deep, were not checked",
                  "check its data folders one at a time"});
    }
  } catch (const std::exception& e) {  // out of memory, or a read that threw
    report.Add({"check", report.store, std::string("the check stopped: ") + e.what(),
                "the parts of the store after this point were not checked",
                "run the check again; if it stops again, report it"});
  }
  return report;
}

}  // namespace vexa
