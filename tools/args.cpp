#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/command.h"
#include "tools/output_text.h"

namespace vexa::tool {

Args::Args(int argc, char** argv, const std::vector<std::string>& valueOptions) {
  auto takesValue = [&](const std::string& name) {
    for (const std::string& option : valueOptions)
      if (option == name) return true;
    return false;
  };
  for (int i = 0; i < argc; ++i) {
    std::string word = argv[i];
    if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
      positional_.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::string value;
    const size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    } else if (takesValue(name)) {
      if (i + 1 >= argc) {
        error_ = "option --" + name + " needs a value";
        return;
      }
      value = argv[++i];
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
  return 1;
}

}  // namespace vexa::tool
