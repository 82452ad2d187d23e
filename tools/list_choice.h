// Which drawings the list shows and in what order, as options of the tool:
// the applications (--app), the sort order (--sort, --dir) and the search
// conditions (--no, --name, --creator, --updater, --created, --updated,
// --memo). Shared by the commands that work on the list as the selection
// dialog's grid shows it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/search_options.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folderlist.h"

namespace vexa::tool {

// The value options read by ReadListChoice.
inline const std::vector<std::string> kListChoiceOptions = [] {
  std::vector<std::string> options = {"app", "sort", "dir"};
  options.insert(options.end(), kSearchOptions.begin(), kSearchOptions.end());
  return options;
}();

struct ListChoice {
  std::optional<long> app;  // application mask; none: all
  int sortType = kDefaultSortType;
  int sortDir = kDefaultSortDir;
  FindCriteria criteria;
};

// Reads the options; false with the usage error in error.
bool ReadListChoice(Args& args, ListChoice& choice, std::string& error);

// Sorts the loaded list as chosen and answers its members in that order that
// meet the search conditions: the records of the grid, top to bottom.
std::vector<const FolMember*> ChosenMembers(const CEnvironObj& env, VexaFolderList& list,
                                            const ListChoice& choice);

}  // namespace vexa::tool
