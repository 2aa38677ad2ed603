// Running a program the way a user's shell would, for the tests of the tools:
// its exit status and what it printed.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/FileBytes.h"

namespace tessaly::testing {

// The text as one word of a POSIX shell command, whatever it holds.
inline std::string ShellQuote(const std::string& text) {
  std::string quoted(1, '\'');
  for (const char c : text) {
    if (c == '\'') quoted.append("'\\''");
    else quoted.push_back(c);
  }
  quoted.push_back('\'');
  return quoted;
}

struct CommandRun {
  int exitCode;  // -1 when the program did not exit normally
  std::string out, err;
};

// Runs `program` with `arguments` in the C locale with `environment`
// ("NAME=value" settings) added, in `folder` when one is named; its output is
// caught in files under `scratch` (a folder ending with a separator).
inline CommandRun RunCommand(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& scratch, const std::vector<std::string>& environment = {},
                             const std::string& folder = {}) {
  std::string command = folder.empty() ? "" : "cd " + ShellQuote(folder) + " && ";
  command.append("LC_ALL=C");
  for (const std::string& setting : environment) {
    const std::size_t equals = setting.find('=');
    command.append(" ").append(setting, 0, equals + 1).append(ShellQuote(setting.substr(equals + 1)));
  }
  command.append(" ").append(ShellQuote(program));
  for (const std::string& argument : arguments) command.append(" ").append(ShellQuote(argument));
  const std::string out = scratch + "command.out", err = scratch + "command.err";
  command.append(" >").append(ShellQuote(out)).append(" 2>").append(ShellQuote(err));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
}

// Starts `program` without waiting for it, in the C locale with
// `environment` added; its output goes to command.out and command.err under
// `scratch`, as RunCommand's does (its standard error to `errorFd` when one
// is given).
inline pid_t StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratch, const std::vector<std::string>& environment = {},
                          int errorFd = -1) {
  const std::string out = scratch + "command.out", err = scratch + "command.err";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("LC_ALL", "C", 1);
    for (const std::string& setting : environment) ::putenv(const_cast<char*>(setting.c_str()));
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ::dup2(errorFd >= 0 ? errorFd : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

}  // namespace tessaly::testing
