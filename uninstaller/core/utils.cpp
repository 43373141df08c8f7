#include "uninstaller/core/utils.h"

#include "platform/Processes.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

extern char** environ;

int RunAndWait(const std::string& program, const std::string& commandLine) {
  std::vector<std::string> args = SplitCommandLine(commandLine);
  if (program.empty() || args.empty()) return -1;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  // waitpid returns once, when the program has ended: no exit code is taken
  // for "still running".
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}
