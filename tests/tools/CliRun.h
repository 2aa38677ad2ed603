// tessaly-cli as the tool tests run it: with a temporary program home, in the
// foreground, or started and then waited for with a time limit.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly::testing {

// Runs tessaly-cli with the arguments, the program home set to `home`.
inline CommandRun Cli(const TempHome& home, const std::vector<std::string>& args) {
  return RunCommand(TESSALY_CLI, args, home.Home(), {"TESSALY_HOME=" + home.Home()});
}

// Starts tessaly-cli without waiting for it, as Cli would run it; its output
// goes to the same files, its standard error to `errorFd` when one is given.
inline pid_t StartCli(const TempHome& home, const std::vector<std::string>& args, int errorFd = -1) {
  const std::string binary = TESSALY_CLI, out = home.Path("command.out"), err = home.Path("command.err");
  std::vector<char*> argv{const_cast<char*>(binary.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("TESSALY_HOME", home.Home().c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ::dup2(errorFd >= 0 ? errorFd : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

// Waits for a started tool at most `limit`. A tool still running then (one
// waiting for input that never comes) is killed: exit code -1, and `timedOut`
// is set.
inline CommandRun WaitForCli(const TempHome& home, pid_t cli, std::chrono::milliseconds limit, bool& timedOut) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  timedOut = false;
  while (::waitpid(cli, &status, WNOHANG) != cli) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(cli, SIGKILL);
      ::waitpid(cli, &status, 0);
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const int exitCode = !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return {exitCode, ReadBytes(home.Path("command.out")), ReadBytes(home.Path("command.err"))};
}

}  // namespace tessaly::testing
