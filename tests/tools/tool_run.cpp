#include "tests/tools/tool_run.h"

#include <sys/resource.h>

#include <cstdlib>

namespace vexa::test {
namespace {

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

std::array<int, 2> Tool::Pipe() {
  std::array<int, 2> fds{-1, -1};
  [[maybe_unused]] const int rc = pipe2(fds.data(), O_CLOEXEC);
  return fds;
}

// The child takes the pipes and the setup, then becomes the tool (126: the
// setup failed, 127: the tool could not be started).
Tool::Tool(const std::vector<std::string>& words, const ToolSetup& setup)
    : child_([&] {
        dup2(input_[0], STDIN_FILENO);
        dup2(output_[1], STDOUT_FILENO);
        dup2(errors_, STDERR_FILENO);
        if (setup.becomeUser && !setup.becomeUser()) return 126;
        for (const auto& [name, value] : setup.environment)
          value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        if (!setup.folder.empty() && chdir(setup.folder.c_str()) != 0) return 126;
        if (setup.limited) {
#if defined(__SANITIZE_ADDRESS__)
          // A sanitizer build runs several times slower, and its shadow memory
          // reserves terabytes of address space: only a looser time bound.
          alarm(60);
#else
          alarm(5);
          const rlimit memory{512u << 20, 512u << 20};
          setrlimit(RLIMIT_AS, &memory);
#endif
        }
        std::vector<std::string> copies = words;
        copies.insert(copies.begin(), VEXAFOL_TOOL);
        std::vector<char*> argv;
        for (std::string& word : copies) argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(VEXAFOL_TOOL, argv.data());
        return 127;
      }) {
  CloseFd(input_[0]);
  CloseFd(output_[1]);
}

Tool::~Tool() {
  for (int* fd : {&input_[1], &output_[0], &errors_}) CloseFd(*fd);
}

std::string Tool::ReadUntil(const std::string& text) {
  std::string seen;
  char c;
  while (read(output_[0], &c, 1) == 1) {
    seen += c;
    if (c == '\n' && seen.find(text) != std::string::npos) break;
  }
  return seen;
}

void Tool::CloseInput() {
  CloseFd(input_[1]);
}

ToolRun Tool::Finish() {
  ToolRun run;
  char chunk[4096];
  for (ssize_t n; (n = read(output_[0], chunk, sizeof chunk)) > 0;)
    run.out.append(chunk, static_cast<size_t>(n));
  run.exit = child_.Wait();
  for (ssize_t n;
       (n = pread(errors_, chunk, sizeof chunk, static_cast<off_t>(run.err.size()))) > 0;)
    run.err.append(chunk, static_cast<size_t>(n));
  return run;
}

ToolRun RunTool(const std::vector<std::string>& words, const ToolSetup& setup) {
  Tool tool(words, setup);
  tool.CloseInput();
  return tool.Finish();
}

}  // namespace vexa::test
