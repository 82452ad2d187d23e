// The vexafol tool's command table and the small argument parser its commands share.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexa::tool {

// Options "--name value" / "--name=value" / "--flag" and positional arguments.
class Args {
 public:
  // valueOptions: options that take a value; every other "--x" is a flag.
  Args(int argc, char** argv, const std::vector<std::string>& valueOptions);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
  // Every value given for a repeatable option, in order.
  std::vector<std::string> Values(const std::string& name) const;
  // Integer value (decimal or 0x hex); error() is set when it is not a number.
  std::optional<long> Number(const std::string& name);
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::multimap<std::string, std::string> options_;
  std::vector<std::string> positional_;
  std::string error_;
};

struct Command {
  const char* name;
  const char* summary;
  const char* usage;  // printed by --help
  int (*run)(Args& args);
  std::vector<std::string> valueOptions;
};

// Every command of the tool, in the order --help lists them.
const std::vector<Command>& Commands();

// Prints "vexafol: message" to stderr and returns the failure exit status (1).
int Fail(const std::string& message);

}  // namespace vexa::tool
