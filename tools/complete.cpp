// vexafol __complete -- WORD...: what the shell may offer for the last WORD,
// the words before it being the command line after "vexafol". The shell's
// completion script asks this, so the commands, options and drawing names it
// offers are always those of the tool it completes. One candidate a line; the
// line ":dirs" or ":files" asks the shell to add folder or file names.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/drawing_name.h"
#include "tools/help.h"
#include "tools/store_env.h"
#include "tools/support/local_system.h"
#include "vexafol/folder_environ.h"
#include "vexafol/recycle.h"
#include "vexafol/senyou.h"
#include "vexafol/store_layout.h"

namespace vexa::tool {
namespace {

constexpr const char* kDirs = ":dirs";
constexpr const char* kFiles = ":files";

// "Fol.NNN" in any ASCII case.
bool IsDrawingFolderName(const CEnvironObj& env, const std::string& name) {
  if (name.size() != 7) return false;
  const std::string fol = "fol.";
  for (size_t i = 0; i < fol.size(); ++i)
    if ((name[i] | 0x20) != fol[i]) return false;
  const int number = env.GetExtNumber(name);
  return number >= kFirstDrawingNo && number <= kLastDrawingNo;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const Command& command : Commands())
    if (command.summary) names.push_back(command.name);
  return names;
}

std::vector<std::string> OptionNames(const Command& command) {
  std::vector<std::string> names;
  for (const std::string& option : command.valueOptions) names.push_back("--" + option);
  for (const std::string& flag : command.flags) names.push_back("--" + flag);
  names.push_back("--help");
  return names;
}

// The store the line works in, as the command would choose it; "" when none.
std::string StoreOfLine(const Command& command, const std::vector<std::string>& before) {
  std::vector<char*> words;
  for (const std::string& word : before) words.push_back(const_cast<char*>(word.c_str()));
  const Args args(static_cast<int>(words.size()), words.data(), command.valueOptions,
                  command.flags);
  if (command.operand == Operand::kStore && !args.positional().empty()) return args.positional()[0];
  return ChosenStore(args);
}

// "HNY/" for every application whose folder the store has; once an
// application is typed ("HNY/", "0x1:"), that text with the number of each of
// its drawing folders.
std::vector<std::string> DrawingNames(const std::string& store, const std::string& word) {
  std::vector<std::string> names;
  const FolderEnvironObj env(store.empty() ? "." : store);
  const size_t mark = word.find_first_of("/:");
  const int typed = mark == std::string::npos ? 0 : ApplicationOf(env, word.substr(0, mark));
  for (const int id : AppIdsWithFolders(env)) {
    const std::string folder = GetSenyouPath(env, id);
    if ((typed && id != typed) || env.IsExist(folder) <= 0) continue;
    if (!typed) {
      names.push_back(AppCode(env, id) + "/");
      continue;
    }
    std::vector<std::string> entries;
    ListFolder(folder, entries);
    for (const std::string& entry : entries)
      if (IsDrawingFolderName(env, entry))
        names.push_back(word.substr(0, mark + 1) + std::to_string(env.GetExtNumber(entry)));
  }
  return names;
}

// Candidates for the value of option --name.
std::vector<std::string> OptionValues(const Command& command, const std::string& name,
                                      const std::string& store, const std::string& word) {
  if (name == "store") return {kDirs};
  if (name == "form" || name == "pdf" || name == "screenshot" || name == "screenshot-search")
    return {kFiles};
  if (name == "backups" || name == "backup") {
    std::vector<std::string> names = DrawingNames(store, word);
    names.push_back(kDirs);
    return names;
  }
  if (name == "host-kind") return {"0", "1", "2", "3", "4", "5"};
  if (name == "sort") return {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
  if (name == "dir") return {"-1", "0", "1"};
  if (name == "kind" && command.name == std::string("select")) return {"open", "write", "delete"};
  std::vector<std::string> values;
  const FolderEnvironObj env(store.empty() ? "." : store);
  if (name == "app") {
    for (const int id : AppIdsWithFolders(env)) values.push_back(HexId(id));
  } else if (name == "slot") {
    for (const RecycleSlot& slot : ListRecycleSlots(env))
      values.push_back(std::to_string(slot.slot));
  }
  return values;
}

std::vector<std::string> Candidates(const std::vector<std::string>& words, std::string& word) {
  if (words.size() == 1) {
    std::vector<std::string> names = CommandNames();
    names.insert(names.end(), {"--help", "--version"});
    return names;
  }
  const Command* command = FindCommand(words[0]);
  if (!command || !command->summary) return {};
  const std::vector<std::string> before(words.begin() + 1, words.end() - 1);
  const std::string store = StoreOfLine(*command, before);
  const std::string previous = before.empty() ? "" : before.back();
  for (const std::string& option : command->valueOptions) {
    if (previous == "--" + option) return OptionValues(*command, option, store, word);
    const std::string withValue = "--" + option + "=";
    if (word.compare(0, withValue.size(), withValue) == 0) {
      word = word.substr(withValue.size());
      std::vector<std::string> values = OptionValues(*command, option, store, word);
      for (std::string& value : values)
        if (value[0] != ':') value = withValue + value;
      word = withValue + word;
      return values;
    }
  }
  if (!word.empty() && word[0] == '-') return OptionNames(*command);
  switch (command->operand) {
    case Operand::kCommand:
      return before.empty() ? CommandNames() : std::vector<std::string>{};
    case Operand::kDrawing: {
      std::vector<std::string> names = DrawingNames(store, word);
      names.push_back(kDirs);
      return names;
    }
    case Operand::kStore:
    case Operand::kFolder:
      return {kDirs};
    case Operand::kNone:
      break;
  }
  return {};
}

}  // namespace

int RunComplete(Args& args) {
  std::vector<std::string> words = args.positional();
  if (words.empty()) words.push_back("");
  std::string word = words.back();
  for (const std::string& candidate : Candidates(words, word)) {
    if (candidate[0] == ':' || candidate.compare(0, word.size(), word) == 0)
      std::printf("%s\n", candidate.c_str());
  }
  return 0;
}

}  // namespace vexa::tool
