#include "tests/tools/tool_run.h"

#include <fcntl.h>
#include <unistd.h>

#include "tests/support/child_process.h"

namespace vexa::test {

ToolRun RunTool(const std::vector<std::string>& words, const std::function<bool()>& becomeUser) {
  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) return {};
  ChildProcess child([&] {
    if (becomeUser && !becomeUser()) return 126;
    const int input = open("/dev/null", O_RDONLY);
    dup2(input, STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    return ExecTool(words);
  });
  close(output[1]);
  ToolRun run;
  char buffer[4096];
  for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;)
    run.out.append(buffer, static_cast<size_t>(n));
  close(output[0]);
  run.exit = child.Wait();
  return run;
}

int ExecTool(const std::vector<std::string>& words) {
  std::vector<std::string> copies = words;
  copies.insert(copies.begin(), VEXAFOL_TOOL);
  std::vector<char*> argv;
  for (std::string& word : copies) argv.push_back(word.data());
  argv.push_back(nullptr);
  execv(VEXAFOL_TOOL, argv.data());
  return 127;
}

}  // namespace vexa::test
