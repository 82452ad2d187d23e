#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tools/command.h"
#include "tools/output_text.h"

namespace vexa::tool {
namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& known : names)
    if (known == name) return true;
  return false;
}

// "-1", "-0x10": a negative number is an argument, not an option.
bool IsNegativeNumber(std::string_view word) {
  return word.size() > 1 && word[0] == '-' && word[1] >= '0' && word[1] <= '9';
}

}  // namespace

Args::Args(int argc, char** argv, const std::vector<std::string>& valueOptions,
           const std::vector<std::string>& flags) {
  bool optionsEnded = false;
  for (int i = 0; i < argc && error_.empty(); ++i) {
    const std::string word = argv[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-' || IsNegativeNumber(word)) {
      positional_.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "-h") {
      options_.emplace("help", "");
      continue;
    }
    if (word[1] != '-') {
      error_ = "unknown option " + word;
      continue;
    }
    std::string name = word.substr(2);
    const size_t equals = name.find('=');
    const bool inlineValue = equals != std::string::npos;
    std::string value = inlineValue ? name.substr(equals + 1) : "";
    if (inlineValue) name.resize(equals);
    if (Contains(valueOptions, name)) {
      if (!inlineValue && i + 1 >= argc) {
        error_ = "option --" + name + " needs a value";
        continue;
      }
      if (!inlineValue) value = argv[++i];
    } else if (name == "help" || Contains(flags, name)) {
      if (inlineValue) error_ = "option --" + name + " takes no value";
    } else {
      error_ = "unknown option --" + name;
    }
    options_.emplace(name, value);
  }
}

bool Args::Has(const std::string& name) const {
  return options_.count(name) > 0;
}

std::optional<std::string> Args::Value(const std::string& name) const {
  auto found = options_.find(name);
  if (found == options_.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> Args::Values(const std::string& name) const {
  std::vector<std::string> values;
  auto [first, last] = options_.equal_range(name);
  for (auto it = first; it != last; ++it) values.push_back(it->second);
  return values;
}

std::optional<long> Args::Number(const std::string& name) {
  std::optional<std::string> text = Value(name);
  if (!text) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text->c_str(), &end, 0);
  if (text->empty() || *end != '\0' || errno != 0) {
    error_ = "option --" + name + ": '" + *text + "' is not a number";
    return std::nullopt;
  }
  return value;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vexafol: %s\n", Printable(message).c_str());
  return kExitFailure;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vexafol: %s\n", Printable(message).c_str());
  return kExitUsage;
}

}  // namespace vexa::tool
