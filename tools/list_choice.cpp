// The list's choice of drawings: options of the tool, read once for every
// command that shows or prints the grid's records.
#include "tools/list_choice.h"

#include "tools/search_options.h"

namespace vexa::tool {

bool ReadListChoice(Args& args, ListChoice& choice, std::string& error) {
  choice.app = args.Number("app");
  const std::optional<long> sortType = args.Number("sort");
  const std::optional<long> sortDir = args.Number("dir");
  if (!args.ok()) {
    error = args.error();
    return false;
  }
  if (sortType && (*sortType < 0 || *sortType > 8)) {
    error = "--sort wants a type 0 to 8";
    return false;
  }
  if (sortDir && (*sortDir < -1 || *sortDir > 1)) {
    error = "--dir wants -1, 0 or 1";
    return false;
  }
  if (sortType) choice.sortType = static_cast<int>(*sortType);
  if (sortDir) choice.sortDir = static_cast<int>(*sortDir);
  return ReadSearchOptions(args, choice.criteria, error);
}

std::vector<const FolMember*> ChosenMembers(const CEnvironObj& env, VexaFolderList& list,
                                            const ListChoice& choice) {
  list.SetSortType(choice.sortType, choice.sortDir);
  std::vector<const FolMember*> members;
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const FolMember* member = list.GetSortedFolderMember(i);
    if (Matches(choice.criteria, env, member)) members.push_back(member);
  }
  return members;
}

}  // namespace vexa::tool
