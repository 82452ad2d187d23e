// The vexafol tool's command table and the small argument parser its commands share.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexa::tool {

// Exit statuses: a usage error (unknown option, missing or malformed value,
// wrong arguments) and a failure of the work itself.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Options "--name value" / "--name=value" / "--flag" and positional arguments.
// "--" ends the options; "-h" is "--help"; "-1" is an argument.
class Args {
 public:
  // valueOptions take a value, flags do not; "--help" is always a flag. Any
  // other option, a missing value or a value given to a flag sets error().
  Args(int argc, char** argv, const std::vector<std::string>& valueOptions,
       const std::vector<std::string>& flags);

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

// What a command's positional arguments name, for completion.
enum class Operand { kNone, kStore, kDrawing, kFolder, kCommand };

struct Command {
  const char* name;
  const char* summary = nullptr;  // nullptr: a command for scripts, left out of the help
  // Usage lines ("vexafol list [--store DIR] ..."), then the description:
  // paragraphs of text separated by empty lines, the same for --help and the
  // manual page.
  const char* synopsis;
  const char* description;
  int (*run)(Args& args);
  std::vector<std::string> valueOptions = {};
  std::vector<std::string> flags = {};
  size_t maxArguments = 0;  // positional arguments beyond this are a usage error
  Operand operand = Operand::kNone;
  // The fields of --json, as a paragraph of the description; nullptr without.
  const char* json = nullptr;
};

// Every command of the tool, in the order --help lists them.
const std::vector<Command>& Commands();

// Print "vexafol: message" to stderr and return the failure exit status (1)
// or the usage error exit status (2).
int Fail(const std::string& message);
int UsageError(const std::string& message);

}  // namespace vexa::tool
